#include "support/TestStore.h"

#include "CWinApp.h"

#include <gtest/gtest.h>

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
}

bool KeyExists(const std::string& relativePath)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, Full(relativePath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

void CreateKey(const std::string& relativePath)
{
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, Full(relativePath).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                  nullptr, &key, nullptr),
        ERROR_SUCCESS);
    ::RegCloseKey(key);
}

void SetRaw(const std::string& relativePath, const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, Full(relativePath).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                  nullptr, &key, nullptr),
        ERROR_SUCCESS);
    EXPECT_EQ(::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    ::RegCloseKey(key);
}

void SetString(const std::string& relativePath, const char* name, const std::string& text)
{
    SetRaw(relativePath, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void SetDword(const std::string& relativePath, const char* name, DWORD value)
{
    SetRaw(relativePath, name, REG_DWORD, &value, sizeof value);
}

void DeleteValue(const std::string& relativePath, const char* name)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, Full(relativePath).c_str(), 0, KEY_ALL_ACCESS, &key)
        != ERROR_SUCCESS)
        return;
    ::RegDeleteValueA(key, name);
    ::RegCloseKey(key);
}

std::optional<RawValue> GetRaw(const std::string& relativePath, const char* name)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, Full(relativePath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    RawValue value;
    DWORD size = 0;
    LONG status = ::RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        value.bytes.resize(size);
        status = ::RegQueryValueExA(key, name, nullptr, &value.type, value.bytes.data(), &size);
    }
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

std::optional<DWORD> GetDword(const std::string& relativePath, const char* name)
{
    std::optional<RawValue> raw = GetRaw(relativePath, name);
    if (!raw || raw->type != REG_DWORD || raw->bytes.size() != sizeof(DWORD))
        return std::nullopt;
    DWORD value = 0;
    memcpy(&value, raw->bytes.data(), sizeof value);
    return value;
}

std::vector<std::string> SubkeyNames(const std::string& relativePath)
{
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, Full(relativePath).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    char name[MAX_PATH];
    for (DWORD index = 0;; ++index) {
        DWORD size = MAX_PATH;
        if (::RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, size);
    }
    ::RegCloseKey(key);
    return names;
}

void AddApplication(const std::string& appKey, const std::string& path, const std::string& displayName)
{
    SetString("Applications\\" + appKey, "Path", path);
    SetString("Applications\\" + appKey, "DisplayName", displayName);
}

void AddAssignment(const std::string& extension, const std::string& appKey, std::optional<DWORD> isDefault)
{
    const std::string record = "Extensions\\" + extension + "\\" + appKey;
    if (isDefault)
        SetDword(record, "Default", *isDefault);
    else
        CreateKey(record);
}

} // namespace TestStore

std::string WindowsPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}
