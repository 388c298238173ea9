// The release folder as a user meets it: Register.cmd run from the unpacked zip, the shell opening a file
// through each registered command, a second registration from elsewhere, and Unregister.cmd.
#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <cstdlib>
#include <fstream>

static const std::wstring verbKey = L"Software\\Classes\\*\\shell\\Zelvanto";
static const std::wstring applicationKey = L"Software\\Classes\\Applications\\Zelvanto.exe";
static const std::wstring storeKey = L"Software\\Karvelund\\Zelvanto";
static const std::wstring recorderKey = storeKey + L"\\Applications\\launch_recorder.exe";
// Another program's verb and Open-with entry, beside Zelvanto's.
static const std::wstring foreignKeys[]
    = { L"Software\\Classes\\*\\shell\\OtherTool", L"Software\\Classes\\Applications\\other.exe" };
static const std::wstring unpacked = L"C:\\Program Files\\Zelvanto Ω\\";
static const std::wstring copied = L"C:\\Zelvanto 2\\";
static const std::wstring recorder = L"" LAUNCH_RECORDER;
static const char* recordFile = "C:\\install-test-launch.txt";

static std::wstring Value(const std::wstring& key, const wchar_t* name)
{
    wchar_t data[1024] = L"(none)";
    DWORD size = sizeof data;
    ::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size);
    return data;
}

static void SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& text)
{
    DWORD size = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    ::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, text.c_str(), size);
}

// Through cmd, as Explorer runs it on a double-click; the script's exit code.
static int RunScript(const std::wstring& folder, const wchar_t* script)
{
    return ::_wsystem((L"\"\"" + folder + script + L"\"\"").c_str());
}

// Every value registering writes, pointing into the folder; none at all for an empty folder.
static void ExpectRegisteredIn(const std::wstring& folder)
{
    const std::wstring program = folder + L"Zelvanto.exe";
    const std::wstring command = L"\"" + program + L"\" \"%1\"";
    const std::tuple<std::wstring, const wchar_t*, std::wstring> rows[] = {
        { verbKey, L"MUIVerb", L"@" + program + L",-160" },
        { verbKey, L"Icon", program + L",0" },
        { verbKey, L"MultiSelectModel", L"Single" },
        { verbKey + L"\\command", nullptr, command },
        { applicationKey, L"FriendlyAppName", L"Zelvanto" },
        { applicationKey + L"\\shell\\open\\command", nullptr, command },
    };
    for (const auto& [key, name, expected] : rows)
        EXPECT_EQ(Value(key, name), folder.empty() ? L"(none)" : expected) << key << L" " << name;
}

// The chooser of exactly this process: a visible dialog holding the list; none if the process ends first
// or shows none within a minute.
static HWND WaitForChooser(HANDLE process)
{
    DWORD processId = ::GetProcessId(process);
    for (int tries = 0; tries < 6000 && ::WaitForSingleObject(process, 10) == WAIT_TIMEOUT; ++tries) {
        for (HWND window = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); window;
             window = ::FindWindowExW(nullptr, window, L"#32770", nullptr)) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == processId && ::IsWindowVisible(window)
                && ::FindWindowExW(window, nullptr, L"SysListView32", nullptr))
                return window;
        }
    }
    return nullptr;
}

// Opens the file through a verb of a class key as Explorer does, takes the preselected application in the
// chooser that starts, and answers the command line the recorder received.
static std::wstring OpenThrough(const std::wstring& classKey, const wchar_t* verb, const std::wstring& file)
{
    ::DeleteFileA(recordFile);
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_CLASSKEY | SEE_MASK_NOCLOSEPROCESS;
    ::RegOpenKeyExW(HKEY_CURRENT_USER, classKey.c_str(), 0, KEY_READ, &execute.hkeyClass);
    execute.lpVerb = verb;
    execute.lpFile = file.c_str();
    execute.nShow = SW_SHOWNORMAL;
    bool started = ::ShellExecuteExW(&execute);
    ::RegCloseKey(execute.hkeyClass);
    HWND chooser = started ? WaitForChooser(execute.hProcess) : nullptr;
    if (!chooser) {
        ::TerminateProcess(execute.hProcess, 1);
        return L"(no chooser)";
    }
    ::PostMessageW(chooser, WM_COMMAND, IDOK, 0);
    std::string line;
    // The recorder moves its file into place whole; under load Wine has shown the bytes after the name.
    for (int tries = 0; tries < 6000 && line.empty(); ++tries) {
        ::Sleep(10);
        std::getline(std::ifstream(recordFile), line, '\0');
    }
    EXPECT_EQ(::WaitForSingleObject(execute.hProcess, 60000), WAIT_OBJECT_0) << "the chooser stayed open";
    ::CloseHandle(execute.hProcess);
    std::wstring received(line.size(), L'\0');
    int length = static_cast<int>(line.size());
    received.resize(::MultiByteToWideChar(CP_UTF8, 0, line.data(), length, received.data(), length));
    return received;
}

// Each test starts and ends with none of what it makes, the parents registering created included; those
// go only when empty, as a key with subkeys stays.
struct Install : testing::Test {
    static void RemoveAll()
    {
        for (const std::wstring& key : { verbKey, applicationKey, storeKey, foreignKeys[0], foreignKeys[1] })
            ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
        for (const wchar_t* parent :
            { L"Software\\Classes\\*\\shell", L"Software\\Classes\\*", L"Software\\Classes\\Applications" })
            ::RegDeleteKeyW(HKEY_CURRENT_USER, parent);
    }
    void SetUp() override { RemoveAll(); }
    void TearDown() override { RemoveAll(); }
};

TEST_F(Install, TheVerbReadsInTheRunningLanguage)
{
    ASSERT_EQ(RunScript(unpacked, L"Register.cmd"), 0);
    wchar_t text[256] = L"(not loaded)";
    ::SHLoadIndirectString(Value(verbKey, L"MUIVerb").c_str(), text, 256, nullptr);
    bool german = PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_GERMAN;
    EXPECT_STREQ(text, german ? L"Mit Zelvanto öffnen..." : L"Open with Zelvanto...");
}

TEST_F(Install, BothCommandsOpenTheChooserRegisteringAgainMovesItUnregisteringLeavesTheRest)
{
    for (const std::wstring& key : foreignKeys)
        SetValue(key, nullptr, L"other");
    ASSERT_EQ(RunScript(unpacked, L"Register.cmd"), 0);
    ExpectRegisteredIn(unpacked);

    // The real program's store: the recorder, the default for txt.
    SetValue(recorderKey, L"Path", recorder);
    SetValue(recorderKey, L"DisplayName", L"Recorder");
    DWORD isDefault = 1;
    ::RegSetKeyValueW(HKEY_CURRENT_USER, (storeKey + L"\\Extensions\\txt\\launch_recorder.exe").c_str(),
        L"Default", REG_DWORD, &isDefault, sizeof isDefault);
    ::SetEnvironmentVariableA("ZELVANTO_RECORD_FILE", recordFile);
    const std::wstring target = L"C:\\users\\Public\\Documents\\Łódź 東京 Ω.txt";
    const std::pair<std::wstring, const wchar_t*> verbs[]
        = { { L"Software\\Classes\\*", L"Zelvanto" }, { applicationKey, L"open" } };
    for (const auto& [classKey, verb] : verbs)
        EXPECT_EQ(OpenThrough(classKey, verb, target), L"\"" + recorder + L"\" \"" + target + L"\"") << verb;

    ASSERT_EQ(RunScript(copied, L"Register.cmd"), 0);
    ExpectRegisteredIn(copied);

    // The second run finds nothing registered.
    for (int run = 1; run <= 2; ++run) {
        EXPECT_EQ(RunScript(copied, L"Unregister.cmd"), 0) << run;
        ExpectRegisteredIn(L"");
    }
    EXPECT_EQ(Value(recorderKey, L"Path"), recorder);
    for (const std::wstring& key : foreignKeys)
        EXPECT_EQ(Value(key, nullptr), L"other") << key;
}
