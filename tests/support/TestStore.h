// The test program's own association store, Software\Karvelund\<its base name>, used directly.
#pragma once
#include "CWinApp.h"
#include "support/ImportPatch.h"

#include <string>
#include <vector>

struct TestStore {
    using Text = const std::string&;
    static std::string Full(Text path)
    {
        std::string root = "Software\\Karvelund\\" + std::string(AfxGetApp()->m_pszAppName);
        return path.empty() ? root : root + "\\" + path;
    }
    static void Delete(Text path) { ::RegDeleteTreeA(HKEY_CURRENT_USER, Full(path).c_str()); }
    // Names the store as start-up does, and empties it.
    static void Reset()
    {
        AfxGetApp()->SetRegistryKey("Karvelund");
        Delete("");
    }
    static bool KeyExists(Text path)
    {
        HKEY key = nullptr;
        ::RegOpenKeyExA(HKEY_CURRENT_USER, Full(path).c_str(), 0, KEY_READ, &key);
        return ::RegCloseKey(key) == ERROR_SUCCESS;
    }
    // Writes a value as Get shows it, or "$N" as N's bytes in REG_BINARY, making the key ("-": only it).
    static void Set(Text path, const char* name, Text value)
    {
        DWORD type = value.starts_with('~') ? REG_EXPAND_SZ : REG_SZ;
        std::string bytes = (type == REG_EXPAND_SZ ? value.substr(1) : value) + '\0';
        if (value.starts_with('#') || value.starts_with('$')) {
            type = value[0] == '#' ? REG_DWORD : REG_BINARY;
            DWORD number = std::stoul(value.substr(1));
            bytes.assign(reinterpret_cast<char*>(&number), sizeof number);
        }
        HKEY key = nullptr;
        ::RegCreateKeyA(HKEY_CURRENT_USER, Full(path).c_str(), &key);
        if (value != "-")
            ::RegSetKeyValueA(key, nullptr, name, type, bytes.data(), static_cast<DWORD>(bytes.size()));
        ::RegCloseKey(key);
    }
    // A text, "~" before one that is REG_EXPAND_SZ, "#N" for a number, "(type N)", or "(missing)".
    static std::string Get(Text path, const char* name)
    {
        char bytes[4096] = "";
        DWORD type = REG_NONE;
        DWORD size = sizeof bytes;
        LONG status = ::RegGetValueA(
            HKEY_CURRENT_USER, Full(path).c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, bytes, &size);
        if (status != ERROR_SUCCESS)
            return "(missing)";
        if (type == REG_DWORD)
            return std::string("#") + std::to_string(*reinterpret_cast<DWORD*>(bytes));
        if (type == REG_SZ || type == REG_EXPAND_SZ)
            return std::string(type == REG_SZ ? "" : "~") + bytes;
        return std::string("(type ") + std::to_string(type) + ")";
    }
    // The chooser's place for the extension: as many of left, top, width and height as given.
    static void SetPlace(Text extension, const std::vector<int>& values)
    {
        for (size_t index = 0; index < values.size(); ++index)
            Set("Extensions\\" + extension, kPlaceNames[index], '#' + std::to_string(values[index]));
    }
    static constexpr const char* kPlaceNames[] = { "WindowLeft", "WindowTop", "WindowWidth", "WindowHeight" };
    static void AddApplication(Text appKey, Text path, Text displayName)
    {
        Set("Applications\\" + appKey, "Path", path);
        Set("Applications\\" + appKey, "DisplayName", displayName);
    }
    static void AddAssignment(Text extension, Text appKey, DWORD isDefault = 0)
    {
        Set("Extensions\\" + extension + "\\" + appKey, "Default", '#' + std::to_string(isDefault));
    }
};
