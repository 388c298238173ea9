// The release as a user meets it: Register.cmd from any folder, its verbs, refusals, and Unregister.cmd.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

// Where UnpackRelease.cmake unpacks the release, with a planted reg.bat and the recorder as Zelvanto.exe.
static const std::wstring kFolder = L"C:\\users\\Public\\Tools & Apps (x86) ^ 100% ! ä\\";
static const std::wstring kPlain = L"C:\\users\\Public\\Zelvanto Łódź 東京 Ω\\";
static const std::wstring kVerb = L"Software\\Classes\\*\\shell\\Zelvanto";
static const std::wstring kApplications = L"Software\\Classes\\Applications";
static const std::wstring kApplication = kApplications + L"\\Zelvanto.exe";
// The program's store and another program's verb and Open-with entry, all of which Unregister leaves.
static const std::wstring kOthers[] = { L"Software\\Karvelund\\Zelvanto",
    L"Software\\Classes\\*\\shell\\OtherTool", kApplications + L"\\other.exe" };
static const wchar_t kRecordFile[] = L"C:\\install-test-launch.txt";

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

// Every value registering writes, for the folder's Zelvanto.exe, or none; the shell reads %% as one %.
static void ExpectRegisteredIn(const std::wstring& folder)
{
    const std::wstring program = folder + L"Zelvanto.exe";
    std::wstring command = L"\"" + program + L"\" \"%1\"";
    if (command.find(L'%') < command.find(L"%1"))
        command.insert(command.find(L'%'), L"%");
    const std::tuple<std::wstring, const wchar_t*, std::wstring> rows[]
        = { { kVerb, L"MUIVerb", L"@" + program + L",-160" }, { kVerb, L"Icon", program + L",0" },
              { kVerb, L"MultiSelectModel", L"Single" }, { kVerb + L"\\command", nullptr, command },
              { kApplication, L"FriendlyAppName", L"Zelvanto" },
              { kApplication + L"\\shell\\open\\command", nullptr, command } };
    for (const auto& [key, name, expected] : rows)
        EXPECT_EQ(Value(key, name), folder.empty() ? L"(none)" : expected) << key << L" " << name;
}

// Runs the verb as the shell does for the class key, and returns the command line the recorder received.
static std::string OpenThrough(const std::wstring& classKey, const wchar_t* verb)
{
    ::SetEnvironmentVariableW(L"ZELVANTO_RECORD_FILE", kRecordFile);
    ::DeleteFileW(kRecordFile);
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_CLASSKEY | SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    ::RegOpenKeyExW(HKEY_CURRENT_USER, classKey.c_str(), 0, KEY_READ, &execute.hkeyClass);
    execute.lpVerb = verb;
    execute.lpFile = L"C:\\users\\Public\\Documents\\Łódź 東京 Ω.txt";
    ::ShellExecuteExW(&execute);
    ::RegCloseKey(execute.hkeyClass);
    // With no process started, nothing is recorded; the recorder moves its whole file into place as it ends.
    ::WaitForSingleObject(execute.hProcess, 60000);
    ::CloseHandle(execute.hProcess);
    std::string line = "(nothing recorded)";
    std::getline(std::ifstream(kRecordFile), line, '\0');
    return line;
}

TEST(Install, RegisterFromAnyFolderOpensFilesAndUnregisterLeavesTheRest)
{
    // An earlier run's registration would hide a Register that writes nothing.
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kVerb.c_str());
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kApplication.c_str());
    for (const std::wstring& key : kOthers)
        ::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, REG_SZ, L"other", sizeof L"other");
    ASSERT_EQ(RunScript(kPlain, L"Register.cmd"), 0);
    ExpectRegisteredIn(kPlain);
    ASSERT_EQ(RunScript(kFolder, L"Register.cmd"), 0);
    ExpectRegisteredIn(kFolder);
    const std::pair<std::wstring, const wchar_t*> verbs[]
        = { { L"Software\\Classes\\*", L"Zelvanto" }, { kApplication, L"open" } };
    for (const auto& [classKey, verb] : verbs)
        EXPECT_EQ(OpenThrough(classKey, verb),
            "\"C:\\users\\Public\\Tools & Apps (x86) ^ 100% ! ä\\Zelvanto.exe\" "
            "\"C:\\users\\Public\\Documents\\Łódź 東京 Ω.txt\"")
            << verb;

    EXPECT_EQ(RunScript(kFolder, L"Unregister.cmd"), 0);
    EXPECT_EQ(RunScript(kFolder, L"Unregister.cmd"), 0); // finding nothing left to remove
    ExpectRegisteredIn(L"");
    for (const std::wstring& key : kOthers) {
        EXPECT_EQ(Value(key, nullptr), L"other") << key;
        ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    }
}

TEST(Install, RegisterRefusesTemporaryCopiesAndTakesBackARunCutShort)
{
    // Register.cmd alone, and the release under TEMP however written, as zip viewers run it: refused.
    const std::pair<std::wstring, std::wstring> rows[] = { { L"C:\\Register alone\\", L"C:\\users\\Public" },
        { kFolder, L"C:\\users\\Public\\" }, { kFolder, L"c:\\USERS\\PUBLIC" } };
    for (const auto& [folder, temporary] : rows) {
        ::SetEnvironmentVariableW(L"TEMP", temporary.c_str());
        EXPECT_EQ(RunScript(folder, L"Register.cmd"), 1) << folder << L" " << temporary;
        ExpectRegisteredIn(L"");
    }
    ::SetEnvironmentVariableW(L"TEMP", nullptr);

    // Below a volatile key, reg cannot make the Open-with entry once the verb is written.
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kApplications.c_str());
    HKEY volatileKey = nullptr;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, kApplications.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_WRITE,
        nullptr, &volatileKey, nullptr);
    EXPECT_EQ(RunScript(kFolder, L"Register.cmd"), 1);
    ExpectRegisteredIn(L"");
    ::RegCloseKey(volatileKey);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kApplications.c_str());
}
