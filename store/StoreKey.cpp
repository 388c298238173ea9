#include "StoreKey.h"

#include "DeleteKeyFunction.h"

// Subkey names read by the enumeration and by the recursive delete.
static const DWORD kEnumNameCapacity = MAX_PATH;
static const DWORD kDeleteNameCapacity = 256;

LONG CStoreKey::Open(LPCSTR path, REGSAM access)
{
    return OpenBelow(HKEY_CURRENT_USER, path, access);
}

LONG CStoreKey::OpenBelow(HKEY parent, LPCSTR path, REGSAM access)
{
    HKEY key = nullptr;
    LONG status = ::RegOpenKeyExA(parent, path, 0, access, &key);
    if (status == ERROR_SUCCESS)
        Hold(key);
    return status;
}

LONG CStoreKey::Create(LPCSTR path)
{
    HKEY key = nullptr;
    LONG status = ::RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
        KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS)
        Hold(key);
    return status;
}

// A key held before is closed only once the new one is open.
void CStoreKey::Hold(HKEY key)
{
    Close();
    m_hKey = key;
}

LONG CStoreKey::Close()
{
    if (!m_hKey)
        return ERROR_SUCCESS;
    LONG status = ::RegCloseKey(m_hKey);
    m_hKey = nullptr;
    return status;
}

LONG CStoreKey::ReadString(LPCSTR name, LPSTR buffer, DWORD capacity, DWORD& length) const
{
    length = 0;
    DWORD type = REG_NONE;
    DWORD size = capacity;
    LONG status = ::RegQueryValueExA(m_hKey, name, nullptr, &type, reinterpret_cast<LPBYTE>(buffer), &size);
    if (status != ERROR_SUCCESS)
        return status;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return ERROR_INVALID_DATA;
    if (size == 0)
        buffer[0] = '\0';
    else if (buffer[size - 1] != '\0')
        return ERROR_INVALID_DATA;
    length = size;
    return ERROR_SUCCESS;
}

LONG CStoreKey::ReadDword(LPCSTR name, DWORD& value) const
{
    DWORD type = REG_NONE;
    DWORD read = 0;
    DWORD size = sizeof read;
    LONG status = ::RegQueryValueExA(m_hKey, name, nullptr, &type, reinterpret_cast<LPBYTE>(&read), &size);
    if (status != ERROR_SUCCESS)
        return status;
    if (type != REG_DWORD)
        return ERROR_INVALID_DATA;
    value = read;
    return ERROR_SUCCESS;
}

LONG CStoreKey::WriteString(LPCSTR name, LPCSTR text) const
{
    // The terminating zero is stored with the text, so an empty text is one zero byte.
    return ::RegSetValueExA(
        m_hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), ::lstrlenA(text) + 1);
}

LONG CStoreKey::WriteDword(LPCSTR name, DWORD value) const
{
    return ::RegSetValueExA(m_hKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

LONG CStoreKey::EnumSubkey(DWORD index, CString& name) const
{
    char buffer[kEnumNameCapacity];
    DWORD length = kEnumNameCapacity;
    LONG status = ::RegEnumKeyExA(m_hKey, index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS)
        name = CString(buffer, static_cast<int>(length));
    return status;
}

LONG CStoreKey::DeleteTree(LPCSTR name) const
{
    CStoreKey subkey;
    LONG status = subkey.OpenBelow(m_hKey, name, KEY_READ | KEY_WRITE);
    if (status != ERROR_SUCCESS)
        return status;
    // Every subkey found is deleted before the next request, so index 0 always names the next one.
    char child[kDeleteNameCapacity];
    DWORD length = kDeleteNameCapacity;
    while (::RegEnumKeyExA(subkey.m_hKey, 0, child, &length, nullptr, nullptr, nullptr, nullptr)
        == ERROR_SUCCESS) {
        status = subkey.DeleteTree(child);
        if (status != ERROR_SUCCESS)
            return status;
        length = kDeleteNameCapacity;
    }
    subkey.Close();
    return DeleteKeyFunction::Delete(m_hKey, name);
}

BOOL CStoreKey::Exists(LPCSTR path)
{
    CStoreKey key;
    return key.Open(path, KEY_READ) == ERROR_SUCCESS;
}
