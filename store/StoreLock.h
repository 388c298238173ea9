// Makes one change to the store one step for every copy of the program of this user's session: each copy
// holds the store's named mutex while it changes the store, so no copy acts on what another has just
// counted or found.
#pragma once
#include <windows.h>

class CStoreLock
{
public:
    CStoreLock();
    ~CStoreLock();
    CStoreLock(const CStoreLock&) = delete;
    CStoreLock& operator=(const CStoreLock&) = delete;

private:
    HANDLE m_hMutex;
};
