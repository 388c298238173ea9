// The test program's own association store, Software\Karvelund\<its base name>, used directly.
#pragma once
#include "CA2W.h"
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
    // By its UTF-16 path, as the program opens a key, so a name as long as Windows allows opens under Wine
    // too.
    static HKEY Open(Text path, bool create = false)
    {
        HKEY key = nullptr;
        CA2W fullPath(Full(path).c_str());
        if (create)
            ::RegCreateKeyExW(
                HKEY_CURRENT_USER, fullPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        else
            ::RegOpenKeyExW(HKEY_CURRENT_USER, fullPath, 0, KEY_READ, &key);
        return key;
    }
    static bool KeyExists(Text path)
    {
        HKEY key = Open(path);
        ::RegCloseKey(key);
        return key != nullptr;
    }
    // Writes the value exactly as given; REG_NONE makes only the key.
    static void Set(Text path, const char* name, DWORD type, Text bytes)
    {
        HKEY key = Open(path, true);
        if (type != REG_NONE)
            ::RegSetValueExA(key, name, 0, type, (const BYTE*)bytes.data(), static_cast<DWORD>(bytes.size()));
        ::RegCloseKey(key);
    }
    static void Set(Text path, const char* name, Text text) { Set(path, name, REG_SZ, text + '\0'); }
    static void Set(Text path, const char* name, DWORD value) { Set(path, name, REG_DWORD, Dword(value)); }
    static std::string Dword(DWORD value)
    {
        return std::string(reinterpret_cast<char*>(&value), sizeof value);
    }
    // A text's bytes with its terminator, "#N" for a number, "(type N)" for another type, or "(missing)".
    static std::string Get(Text path, const char* name)
    {
        char bytes[4096];
        DWORD size = sizeof bytes;
        DWORD type = REG_NONE;
        HKEY key = Open(path);
        LONG status = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(bytes), &size);
        ::RegCloseKey(key);
        if (status != ERROR_SUCCESS)
            return "(missing)";
        if (type == REG_DWORD)
            return std::to_string(*reinterpret_cast<DWORD*>(bytes)).insert(0, 1, '#');
        if (type == REG_SZ)
            return std::string(bytes, size);
        return "(type " + std::to_string(type) + ")";
    }
    // The chooser's place for the extension: as many of left, top, width and height as given.
    static void SetPlace(Text extension, const std::vector<int>& values)
    {
        for (size_t i = 0; i < values.size(); ++i)
            Set("Extensions\\" + extension, kPlaceNames[i], DWORD(values[i]));
    }
    static std::string GetPlace(Text extension)
    {
        std::string values;
        for (const char* name : kPlaceNames)
            values += Get("Extensions\\" + extension, name) + " ";
        return values;
    }
    static constexpr const char* kPlaceNames[] = { "WindowLeft", "WindowTop", "WindowWidth", "WindowHeight" };
    // The text followed by letters of as many characters as Windows counts, in UTF-16 units: a letter of four
    // bytes in UTF-8 counts twice, and an odd count ends in "a".
    static std::string Letters(Text before, Text letter, int units)
    {
        int width = letter.size() == 4 ? 2 : 1;
        std::string text = before;
        for (int count = 0; count + width <= units; count += width)
            text += letter;
        return units % width ? text + "a" : text;
    }
    static void AddApplication(Text appKey, Text path, Text displayName)
    {
        Set("Applications\\" + appKey, "Path", path);
        Set("Applications\\" + appKey, "DisplayName", displayName);
    }
    static void AddAssignment(Text extension, Text appKey, DWORD isDefault = 0)
    {
        Set("Extensions\\" + extension + "\\" + appKey, "Default", isDefault);
    }
};
