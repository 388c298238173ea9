// The test program's own association store, written and read directly with the registry API.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace TestStore
{

// Software\Karvelund\<this program's base name>
std::string Root();

// Removes the whole store of this test program.
void Clear();

// Names the store as start-up does and empties it.
void Reset();

bool KeyExists(const std::string& relativePath);
void CreateKey(const std::string& relativePath);

// Writes a value exactly as given: type and bytes, terminator or not.
void SetRaw(const std::string& relativePath, const char* name, DWORD type, const void* data, DWORD size);
void SetString(const std::string& relativePath, const char* name, const std::string& text);
void SetDword(const std::string& relativePath, const char* name, DWORD value);
void DeleteValue(const std::string& relativePath, const char* name);

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};
std::optional<RawValue> GetRaw(const std::string& relativePath, const char* name);
std::optional<DWORD> GetDword(const std::string& relativePath, const char* name);
std::vector<std::string> SubkeyNames(const std::string& relativePath);

// An application record with its two values, and an assignment record for it.
void AddApplication(const std::string& appKey, const std::string& path, const std::string& displayName);
void AddAssignment(
    const std::string& extension, const std::string& appKey, std::optional<DWORD> isDefault = 0);

} // namespace TestStore

// A Linux path of the build, as Wine's programs see it.
std::string WindowsPath(const std::string& unixPath);
