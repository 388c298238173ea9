// The holder of one open key of the association store; every store access goes through one.
#pragma once
#include "CString.h"

#include <vector>

class CStoreKey
{
public:
    // The longest text a string value may hold: a path's limit without its terminator.
    static const int kLongestText = MAX_PATH - 1;

    CStoreKey() = default;
    ~CStoreKey() { Close(); }
    CStoreKey(const CStoreKey&) = delete;
    CStoreKey& operator=(const CStoreKey&) = delete;

    // Paths are relative to HKEY_CURRENT_USER. Every call answers the platform's status, 0 on success.
    LONG Open(LPCSTR path, REGSAM access);
    // The same below another root, such as HKEY_LOCAL_MACHINE, or below a key held already.
    LONG OpenBelow(HKEY root, LPCSTR path, REGSAM access);
    LONG OpenBelow(const CStoreKey& parent, LPCSTR path, REGSAM access);
    LONG Create(LPCSTR path);
    LONG Close();
    bool IsOpen() const { return m_hKey != nullptr; }

    // A text is read only when it holds at most kLongestText characters, as Windows counts them. The type
    // tells REG_SZ from REG_EXPAND_SZ.
    LONG ReadString(LPCSTR name, CString& text, DWORD* type = nullptr) const;
    // The same for a text of up to the given number of characters, such as a command line.
    LONG ReadString(LPCSTR name, CString& text, DWORD* type, int longestText) const;
    // Whether a value of that name exists, whatever its type.
    BOOL HasValue(LPCSTR name) const;
    LONG ReadDword(LPCSTR name, DWORD& value) const;
    LONG WriteString(LPCSTR name, LPCSTR text, DWORD type = REG_SZ) const;
    LONG WriteDword(LPCSTR name, DWORD value) const;

    // The names of the subkeys, in the platform's order; a name that cannot be read is passed over.
    std::vector<CString> SubkeyNames() const;
    // The names of the values, in the platform's order, the unnamed default value left out.
    std::vector<CString> ValueNames() const;

    // Deletes the named subkey with everything below it.
    LONG DeleteTree(LPCSTR name) const;
    // Deletes the named subkey only while it has no subkey of its own.
    LONG DeleteKey(LPCSTR name) const;

    // Whether a text is short enough for a string value: at most kLongestText characters.
    static BOOL Fits(LPCSTR text);

    // Any failure to open the key for reading counts as its absence.
    static BOOL Exists(LPCSTR path);

private:
    void Hold(HKEY key);

    HKEY m_hKey = nullptr;
};
