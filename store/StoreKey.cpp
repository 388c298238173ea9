#include "StoreKey.h"

#include "CA2W.h"
#include "DeleteKeyFunction.h"

#include <string>

// Windows counts a text's characters in UTF-16 units; in UTF-8, the widest code page a process runs with,
// each takes up to three bytes. Key names hold up to 255 characters, string values up to the longest text.
static const int kMostBytesPerCharacter = 3;
static const DWORD kNameCapacity = 255 * kMostBytesPerCharacter + 1;

// The characters of a text as Windows counts them, in UTF-16 units.
static int CharacterCount(LPCSTR text)
{
    return ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0) - 1;
}

LONG CStoreKey::Open(LPCSTR path, REGSAM access)
{
    return OpenBelow(HKEY_CURRENT_USER, path, access);
}

// Paths go to the registry in UTF-16: Wine's 8-bit functions convert a path into a buffer of MAX_PATH
// characters, which a key name of 255 characters below the store root overflows.
LONG CStoreKey::OpenBelow(HKEY root, LPCSTR path, REGSAM access)
{
    HKEY key = nullptr;
    LONG status = ::RegOpenKeyExW(root, CA2W(path), 0, access, &key);
    if (status == ERROR_SUCCESS)
        Hold(key);
    return status;
}

LONG CStoreKey::OpenBelow(const CStoreKey& parent, LPCSTR path, REGSAM access)
{
    return OpenBelow(parent.m_hKey, path, access);
}

LONG CStoreKey::Create(LPCSTR path)
{
    HKEY key = nullptr;
    LONG status = ::RegCreateKeyExW(HKEY_CURRENT_USER, CA2W(path), 0, nullptr, REG_OPTION_NON_VOLATILE,
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

LONG CStoreKey::ReadString(LPCSTR name, CString& text, DWORD* type) const
{
    return ReadString(name, text, type, kLongestText);
}

LONG CStoreKey::ReadString(LPCSTR name, CString& text, DWORD* type, int longestText) const
{
    text.Empty();
    DWORD capacity = longestText * kMostBytesPerCharacter + 1;
    std::string buffer(capacity, '\0');
    DWORD readType = REG_NONE;
    DWORD size = capacity;
    LONG status = ::RegQueryValueExA(
        m_hKey, name, nullptr, &readType, reinterpret_cast<LPBYTE>(buffer.data()), &size);
    if (status != ERROR_SUCCESS)
        return status;
    if (type)
        *type = readType;
    if (readType != REG_SZ && readType != REG_EXPAND_SZ)
        return ERROR_INVALID_DATA;
    if (size == 0)
        return ERROR_SUCCESS;
    if (buffer[size - 1] != '\0')
        return ERROR_INVALID_DATA;
    // In a code page of fewer bytes a character, a text over the limit fits the buffer: its characters
    // decide.
    if (CharacterCount(buffer.data()) > longestText)
        return ERROR_MORE_DATA;
    text = buffer.data();
    return ERROR_SUCCESS;
}

BOOL CStoreKey::HasValue(LPCSTR name) const
{
    return ::RegQueryValueExA(m_hKey, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
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

LONG CStoreKey::WriteString(LPCSTR name, LPCSTR text, DWORD type) const
{
    // The terminating zero is stored with the text, so an empty text is one zero byte.
    return ::RegSetValueExA(m_hKey, name, 0, type, reinterpret_cast<const BYTE*>(text), ::lstrlenA(text) + 1);
}

LONG CStoreKey::WriteDword(LPCSTR name, DWORD value) const
{
    return ::RegSetValueExA(m_hKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

// Names read one by one by index, passing over a name too long to read, until the enumeration ends.
template <typename Enumerate> static std::vector<CString> EnumeratedNames(Enumerate enumerate)
{
    std::vector<CString> names;
    char name[kNameCapacity];
    for (DWORD index = 0;; ++index) {
        DWORD length = kNameCapacity;
        LONG status = enumerate(index, name, &length);
        if (status == ERROR_SUCCESS)
            names.push_back(CString(name, static_cast<int>(length)));
        // Past the last name, or the key itself is gone: nothing more can be read.
        else if (status != ERROR_MORE_DATA)
            return names;
    }
}

std::vector<CString> CStoreKey::SubkeyNames() const
{
    return EnumeratedNames([this](DWORD index, LPSTR name, DWORD* length) {
        return ::RegEnumKeyExA(m_hKey, index, name, length, nullptr, nullptr, nullptr, nullptr);
    });
}

std::vector<CString> CStoreKey::ValueNames() const
{
    std::vector<CString> names = EnumeratedNames([this](DWORD index, LPSTR name, DWORD* length) {
        return ::RegEnumValueA(m_hKey, index, name, length, nullptr, nullptr, nullptr, nullptr);
    });
    std::erase_if(names, [](const CString& name) { return name.IsEmpty(); });
    return names;
}

LONG CStoreKey::DeleteTree(LPCSTR name) const
{
    CStoreKey subkey;
    LONG status = subkey.OpenBelow(m_hKey, name, KEY_READ | KEY_WRITE);
    if (status != ERROR_SUCCESS)
        return status;
    // Named before any is deleted, so no delete shifts the enumeration.
    for (const CString& child : subkey.SubkeyNames()) {
        status = subkey.DeleteTree(child);
        if (status != ERROR_SUCCESS)
            return status;
    }
    subkey.Close();
    return DeleteKey(name);
}

LONG CStoreKey::DeleteKey(LPCSTR name) const
{
    return DeleteKeyFunction::Delete(m_hKey, name);
}

BOOL CStoreKey::Fits(LPCSTR text)
{
    return CharacterCount(text) <= kLongestText;
}

BOOL CStoreKey::Exists(LPCSTR path)
{
    CStoreKey key;
    return key.Open(path, KEY_READ) == ERROR_SUCCESS;
}
