#include "support/TestStore.h"

#include "CWinApp.h"
#include "support/ImportPatch.h"

namespace TestStore
{

std::string Root()
{
    return std::string("Software\\Karvelund\\") + AfxGetApp()->m_pszAppName;
}

static std::string Full(const std::string& relativePath)
{
    return relativePath.empty() ? Root() : Root() + "\\" + relativePath;
}

void Clear()
{
    ::RegDeleteTreeA(HKEY_CURRENT_USER, Root().c_str());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, Root().c_str());
}

void Reset()
{
    AfxGetApp()->SetRegistryKey("Karvelund");
    Clear();
    Live();
}

bool KeyExists(const std::string& relativePath)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, Full(relativePath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

void SetRaw(const std::string& relativePath, const char* name, DWORD type, const std::string& bytes)
{
    HKEY key = nullptr;
    ::RegCreateKeyExA(
        HKEY_CURRENT_USER, Full(relativePath).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (type != REG_NONE)
        ::RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
            static_cast<DWORD>(bytes.size()));
    ::RegCloseKey(key);
}

void SetString(const std::string& relativePath, const char* name, const std::string& text)
{
    SetRaw(relativePath, name, REG_SZ, text + '\0');
}

void SetDword(const std::string& relativePath, const char* name, DWORD value)
{
    SetRaw(relativePath, name, REG_DWORD, Dword(value));
}

std::string Value(const std::string& relativePath, const char* name)
{
    char bytes[4096];
    DWORD size = sizeof bytes;
    DWORD type = REG_NONE;
    if (::RegGetValueA(HKEY_CURRENT_USER, Full(relativePath).c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type,
            bytes, &size)
        != ERROR_SUCCESS)
        return "(missing)";
    return type == REG_SZ ? std::string(bytes, size) : "(type " + std::to_string(type) + ")";
}

std::optional<DWORD> GetDword(const std::string& relativePath, const char* name)
{
    DWORD value = 0;
    DWORD size = sizeof value;
    if (::RegGetValueA(
            HKEY_CURRENT_USER, Full(relativePath).c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size)
        != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

void AddApplication(const std::string& appKey, const std::string& path, const std::string& displayName)
{
    SetString("Applications\\" + appKey, "Path", path);
    SetString("Applications\\" + appKey, "DisplayName", displayName);
}

void AddAssignment(const std::string& extension, const std::string& appKey, std::optional<DWORD> isDefault)
{
    SetRaw("Extensions\\" + extension + "\\" + appKey, "Default", isDefault ? REG_DWORD : REG_NONE,
        Dword(isDefault.value_or(0)));
}

} // namespace TestStore

std::string Dword(DWORD value)
{
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}
