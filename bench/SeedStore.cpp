#include "SeedStore.h"

#include <cstdio>

// A benchmark on a half-seeded store would measure the wrong thing: stop at once.
static void Check(LONG status, const char* call, const std::string& path)
{
    if (status == ERROR_SUCCESS)
        return;
    std::fprintf(stderr, "%s failed on %s: %ld\n", call, path.c_str(), status);
    ::ExitProcess(1);
}

static HKEY CreateBelow(HKEY parent, const std::string& path)
{
    HKEY key = nullptr;
    Check(::RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        "RegCreateKeyExA", path);
    return key;
}

static void SetString(HKEY key, const char* name, const std::string& text)
{
    Check(::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
              static_cast<DWORD>(text.size() + 1)),
        "RegSetValueExA", name);
}

SeedStore::SeedStore(const std::string& rootPath)
    : m_root(CreateBelow(HKEY_CURRENT_USER, rootPath))
{
}

SeedStore::~SeedStore()
{
    ::RegCloseKey(m_root);
}

void SeedStore::Clear()
{
    LONG status = ::RegDeleteTreeA(m_root, nullptr);
    Check(status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status, "RegDeleteTreeA", "the store");
}

void SeedStore::AddApplication(
    const std::string& appKey, const std::string& path, const std::string& displayName)
{
    HKEY application = CreateBelow(m_root, "Applications\\" + appKey);
    SetString(application, "Path", path);
    SetString(application, "DisplayName", displayName);
    ::RegCloseKey(application);
}

void SeedStore::AddAssignment(const std::string& extension, const std::string& appKey, DWORD isDefault)
{
    const std::string path = "Extensions\\" + extension + "\\" + appKey;
    HKEY assignment = CreateBelow(m_root, path);
    Check(::RegSetValueExA(assignment, "Default", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&isDefault),
              sizeof isDefault),
        "RegSetValueExA", path);
    ::RegCloseKey(assignment);
}
