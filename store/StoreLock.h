// Makes one change to the store one step for every copy of the program of this user's session: each copy
// holds the store's named mutex while it reads or changes the store, so no copy acts on what another has
// half changed. The wait is bounded: a copy that hangs while holding it never freezes another's window.
#pragma once
#include <windows.h>

class CStoreLock
{
public:
    CStoreLock();
    ~CStoreLock();
    CStoreLock(const CStoreLock&) = delete;
    CStoreLock& operator=(const CStoreLock&) = delete;

    // Whether this copy holds the store now. Without it a change is not made.
    bool Held() const { return m_held; }

private:
    // Long enough for any change another copy makes, short enough for the user to wait.
    static const DWORD kLongestWait = 5000;

    HANDLE m_hMutex;
    bool m_held = false;
};
