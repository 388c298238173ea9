// The release as a user meets it: Register.cmd from any folder, its refusals, and Unregister.cmd.
#include <windows.h>

#include <gtest/gtest.h>

// Where UnpackRelease.cmake unpacks the release, with a reg.bat planted beside the scripts.
static const std::wstring kFolder = L"C:\\users\\Public\\Tools & Apps (x86) ^ 100% ! Ω\\";
static const std::wstring kVerb = L"Software\\Classes\\*\\shell\\Zelvanto";
// The program's store and another program's verb and Open-with entry, all of which Unregister leaves.
static const std::wstring kOthers[] = { L"Software\\Karvelund\\Zelvanto",
    L"Software\\Classes\\*\\shell\\OtherTool", L"Software\\Classes\\Applications\\other.exe" };

static std::wstring Value(const std::wstring& key, const wchar_t* name)
{
    wchar_t data[1024] = L"(none)";
    DWORD size = sizeof data;
    ::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size);
    return data;
}

// As Explorer runs a script on a double-click: through cmd, in its folder; with no key to wait for.
static int RunScript(const std::wstring& folder, const wchar_t* script)
{
    ::SetCurrentDirectoryW(folder.c_str());
    return ::_wsystem((L"\"\"" + folder + script + L"\"\" <nul").c_str());
}

// Every value registering writes, pointing at the Zelvanto.exe in the folder; none at all for no folder.
static void ExpectRegisteredIn(const std::wstring& folder)
{
    const std::wstring program = folder + L"Zelvanto.exe";
    const std::tuple<std::wstring, const wchar_t*, std::wstring> rows[] = {
        { kVerb, L"MUIVerb", L"@" + program + L",-160" },
        { kVerb, L"Icon", program + L",0" },
        { kVerb, L"MultiSelectModel", L"Single" },
        { kVerb + L"\\command", nullptr, L"\"" + program + L"\" \"%1\"" },
        { L"Software\\Classes\\Applications\\Zelvanto.exe", L"FriendlyAppName", L"Zelvanto" },
        { L"Software\\Classes\\Applications\\Zelvanto.exe\\shell\\open\\command", nullptr,
            L"\"" + program + L"\" \"%1\"" },
    };
    for (const auto& [key, name, expected] : rows)
        EXPECT_EQ(Value(key, name), folder.empty() ? L"(none)" : expected) << key << L" " << name;
}

TEST(Install, RegisterFromAnyFolderAndUnregisterLeavesTheRest)
{
    for (const std::wstring& key : kOthers)
        ::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, REG_SZ, L"other", sizeof L"other");
    ASSERT_EQ(RunScript(kFolder, L"Register.cmd"), 0);
    ExpectRegisteredIn(kFolder);

    EXPECT_EQ(RunScript(kFolder, L"Unregister.cmd"), 0);
    EXPECT_EQ(RunScript(kFolder, L"Unregister.cmd"), 0); // finding nothing left to remove
    ExpectRegisteredIn(L"");
    for (const std::wstring& key : kOthers) {
        EXPECT_EQ(Value(key, nullptr), L"other") << key;
        ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    }

    // Register.cmd alone, and the whole release under the temporary folder, as zip viewers run it: refused.
    ::SetEnvironmentVariableW(L"TEMP", L"C:\\users\\Public");
    for (const std::wstring& folder : { std::wstring(L"C:\\Register alone\\"), kFolder }) {
        EXPECT_EQ(RunScript(folder, L"Register.cmd"), 1) << folder;
        ExpectRegisteredIn(L"");
    }
}
