// The test program's own association store, written and read directly with the registry API.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace TestStore
{

// Software\Karvelund\<this program's base name>
std::string Root();
// Removes the whole store of this test program.
void Clear();
// Names the store as start-up does, empties it, and counts the keys the program holds from now on.
void Reset();

bool KeyExists(const std::string& relativePath);
// Writes a value exactly as given, type and bytes; REG_NONE makes only the key.
void SetRaw(const std::string& relativePath, const char* name, DWORD type, const std::string& bytes);
void SetString(const std::string& relativePath, const char* name, const std::string& text);
void SetDword(const std::string& relativePath, const char* name, DWORD value);
// The bytes of a REG_SZ value with its terminator, "(type N)" for another type, "(missing)" for none.
std::string Value(const std::string& relativePath, const char* name);
std::optional<DWORD> GetDword(const std::string& relativePath, const char* name);

// An application record with its two values, and an assignment record for it.
void AddApplication(const std::string& appKey, const std::string& path, const std::string& displayName);
void AddAssignment(
    const std::string& extension, const std::string& appKey, std::optional<DWORD> isDefault = 0);

} // namespace TestStore

// The bytes of a DWORD value.
std::string Dword(DWORD value);
