// The release folder as a user meets it: Register.cmd run from the unpacked zip, the shell opening a file
// through each registered command, a second registration from elsewhere, and Unregister.cmd.
#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <fstream>

static const std::wstring kVerb = L"Software\\Classes\\*\\shell\\Zelvanto";
static const std::wstring kApplication = L"Software\\Classes\\Applications\\Zelvanto.exe";
static const std::wstring kStore = L"Software\\Karvelund\\Zelvanto";
static const std::wstring kRecorderRecord = kStore + L"\\Applications\\launch_recorder.exe";
// Another program's verb and Open-with entry, beside Zelvanto's.
static const std::wstring kForeignKeys[]
    = { L"Software\\Classes\\*\\shell\\OtherTool", L"Software\\Classes\\Applications\\other.exe" };
static const std::wstring kRecorder = L"" LAUNCH_RECORDER;
static const char kRecordFile[] = "C:\\install-test-launch.txt";

static std::wstring Value(const std::wstring& key, const wchar_t* name)
{
    wchar_t data[1024] = L"(none)";
    DWORD size = sizeof data;
    ::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size);
    return data;
}

static void SetValue(const std::wstring& key, const wchar_t* name, DWORD type, const void* data, size_t size)
{
    ::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, type, data, static_cast<DWORD>(size));
}

static void SetText(const std::wstring& key, const wchar_t* name, const std::wstring& text)
{
    SetValue(key, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

// Through cmd, as Explorer runs a script on a double-click; the script's exit code.
static int RunScript(const std::wstring& folder, const wchar_t* script)
{
    return ::_wsystem((L"\"\"" + folder + script + L"\"\"").c_str());
}

// Every value registering writes, pointing into the folder, and the verb's text read as the shell reads it;
// none at all for no folder.
static void ExpectRegisteredIn(const std::wstring& folder)
{
    const std::wstring program = folder + L"Zelvanto.exe";
    const std::wstring command = L"\"" + program + L"\" \"%1\"";
    const std::tuple<std::wstring, const wchar_t*, std::wstring> rows[] = {
        { kVerb, L"MUIVerb", L"@" + program + L",-160" },
        { kVerb, L"Icon", program + L",0" },
        { kVerb, L"MultiSelectModel", L"Single" },
        { kVerb + L"\\command", nullptr, command },
        { kApplication, L"FriendlyAppName", L"Zelvanto" },
        { kApplication + L"\\shell\\open\\command", nullptr, command },
    };
    for (const auto& [key, name, expected] : rows)
        EXPECT_EQ(Value(key, name), folder.empty() ? L"(none)" : expected) << key << L" " << name;
    wchar_t verbText[256] = L"(none)";
    ::SHLoadIndirectString(Value(kVerb, L"MUIVerb").c_str(), verbText, 256, nullptr);
    bool german = PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_GERMAN;
    const wchar_t* expectedText = german ? L"Mit Zelvanto öffnen..." : L"Open with Zelvanto...";
    EXPECT_STREQ(verbText, folder.empty() ? L"(none)" : expectedText);
}

// The chooser of exactly this process once it shows: a visible dialog of the process; none if the process
// ends first or shows none within a minute.
static HWND WaitForChooser(HANDLE process)
{
    DWORD processId = ::GetProcessId(process);
    for (int tries = 0; tries < 6000 && ::WaitForSingleObject(process, 10) == WAIT_TIMEOUT; ++tries) {
        for (HWND window = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); window;
             window = ::FindWindowExW(nullptr, window, L"#32770", nullptr)) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == processId && ::IsWindowVisible(window))
                return window;
        }
    }
    return nullptr;
}

// Opens the file through a verb of a class key as Explorer does, takes the preselected application in the
// chooser that starts, and answers the command line the recorder received.
static std::string OpenThrough(const std::wstring& classKey, const wchar_t* verb, const std::wstring& file)
{
    ::DeleteFileA(kRecordFile);
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_CLASSKEY | SEE_MASK_NOCLOSEPROCESS;
    ::RegOpenKeyExW(HKEY_CURRENT_USER, classKey.c_str(), 0, KEY_READ, &execute.hkeyClass);
    execute.lpVerb = verb;
    execute.lpFile = file.c_str();
    EXPECT_TRUE(::ShellExecuteExW(&execute)) << verb;
    ::RegCloseKey(execute.hkeyClass);
    ::PostMessageW(WaitForChooser(execute.hProcess), WM_COMMAND, IDOK, 0);
    bool ended = ::WaitForSingleObject(execute.hProcess, 60000) == WAIT_OBJECT_0;
    EXPECT_TRUE(ended) << "the chooser stayed open";
    // One left open would hold the test's output open after the test.
    if (!ended)
        ::TerminateProcess(execute.hProcess, 1);
    ::CloseHandle(execute.hProcess);
    // The recorder moves its file into place whole; under load Wine has shown the bytes after the name.
    std::string line;
    for (int tries = 0; tries < 6000 && line.empty(); ++tries) {
        ::Sleep(10);
        std::getline(std::ifstream(kRecordFile), line, '\0');
    }
    return line;
}

TEST(Install, RegisterOpensFilesThroughBothCommandsAndUnregisterLeavesTheRest)
{
    for (const std::wstring& key : kForeignKeys)
        SetText(key, nullptr, L"other");
    ASSERT_EQ(RunScript(L"C:\\Program Files\\Zelvanto Ω\\", L"Register.cmd"), 0);
    ExpectRegisteredIn(L"C:\\Program Files\\Zelvanto Ω\\");

    // The real program's store holds the recorder as the default for txt.
    SetText(kRecorderRecord, L"Path", kRecorder);
    SetText(kRecorderRecord, L"DisplayName", L"Recorder");
    DWORD isDefault = 1;
    SetValue(kStore + L"\\Extensions\\txt\\launch_recorder.exe", L"Default", REG_DWORD, &isDefault,
        sizeof isDefault);
    ::SetEnvironmentVariableA("ZELVANTO_RECORD_FILE", kRecordFile);
    const std::wstring target = L"C:\\users\\Public\\Documents\\Łódź 東京 Ω.txt";
    const std::string expected = "\"" LAUNCH_RECORDER "\" \"C:\\users\\Public\\Documents\\Łódź 東京 Ω.txt\"";
    EXPECT_EQ(OpenThrough(L"Software\\Classes\\*", L"Zelvanto", target), expected);
    EXPECT_EQ(OpenThrough(kApplication, L"open", target), expected);

    ASSERT_EQ(RunScript(L"C:\\Zelvanto 2\\", L"Register.cmd"), 0);
    ExpectRegisteredIn(L"C:\\Zelvanto 2\\");
    // The second run finds nothing registered.
    EXPECT_EQ(RunScript(L"C:\\Zelvanto 2\\", L"Unregister.cmd"), 0);
    EXPECT_EQ(RunScript(L"C:\\Zelvanto 2\\", L"Unregister.cmd"), 0);
    ExpectRegisteredIn(L"");
    EXPECT_EQ(Value(kRecorderRecord, L"Path"), kRecorder);
    for (const std::wstring& key : kForeignKeys) {
        EXPECT_EQ(Value(key, nullptr), L"other") << key;
        ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kStore.c_str());
}
