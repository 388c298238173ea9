// The store of the installed profile, seeded for the start timer, which runs outside the test support.
#pragma once
#include <windows.h>

#include <string>

class SeedStore
{
public:
    // The store's path below HKEY_CURRENT_USER; the key is made if missing.
    explicit SeedStore(const std::string& rootPath);
    ~SeedStore();
    SeedStore(const SeedStore&) = delete;
    SeedStore& operator=(const SeedStore&) = delete;

    // Removes every record, leaving the empty store key.
    void Clear();
    void AddApplication(const std::string& appKey, const std::string& path, const std::string& displayName);
    // An assignment record with the given Default value.
    void AddAssignment(const std::string& extension, const std::string& appKey, DWORD isDefault = 0);

private:
    HKEY m_root = nullptr;
};
