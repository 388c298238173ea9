// The holder of one open key of the association store; every store access goes through one.
#pragma once
#include "CString.h"

class CStoreKey
{
public:
    CStoreKey() = default;
    ~CStoreKey() { Close(); }
    CStoreKey(const CStoreKey&) = delete;
    CStoreKey& operator=(const CStoreKey&) = delete;

    // Paths are relative to HKEY_CURRENT_USER. Every call answers the platform's status, 0 on success.
    LONG Open(LPCSTR path, REGSAM access);
    LONG Create(LPCSTR path);
    LONG Close();

    LONG ReadString(LPCSTR name, LPSTR buffer, DWORD capacity, DWORD& length) const;
    LONG ReadDword(LPCSTR name, DWORD& value) const;
    LONG WriteString(LPCSTR name, LPCSTR text) const;
    LONG WriteDword(LPCSTR name, DWORD value) const;

    // The name of the subkey at an index; fails past the last one.
    LONG EnumSubkey(DWORD index, CString& name) const;

    // Deletes the named subkey with everything below it.
    LONG DeleteTree(LPCSTR name) const;

    // Any failure to open the key for reading counts as its absence.
    static BOOL Exists(LPCSTR path);

private:
    LONG OpenBelow(HKEY parent, LPCSTR path, REGSAM access);
    void Hold(HKEY key);

    HKEY m_hKey = nullptr;
};
