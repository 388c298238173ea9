// The context menu and its commands, with the real file and edit dialogs: what each changes and tells.
#include "support/ChooserRun.h"

#include <gtest/gtest.h>

#include <fstream>

static const char kApp[] = "Applications\\tool.exe";
static const char kAssignment[] = "Extensions\\txt\\tool.exe";
static ImportPatch* g_patch = nullptr;
static int g_lookUps = 0;
static const char* g_unwritable = "";
static std::string g_filter; // the file type the open dialog offered last
static std::string g_menu; // the menu shown last

// The active window when it is a dialog with the control.
static HWND Dialog(int control)
{
    HWND active = ::GetActiveWindow();
    return ::GetDlgItem(active, control) ? active : nullptr;
}

// Types the name into the open dialog (its name box 0x47C, file type 0x470) and presses Open, or Cancel for
// no name; a name the dialog refuses is followed by Cancel.
static Steps Pick(const std::string& path)
{
    auto type = [path] {
        HWND dialog = Dialog(0x47C);
        if (!dialog)
            return false;
        g_filter = WindowText(::GetDlgItem(dialog, 0x470));
        ::SetDlgItemTextA(dialog, 0x47C, path.c_str());
        Chooser::Post(dialog, path.empty() ? IDCANCEL : IDOK);
        return true;
    };
    auto gone = [] {
        if (HWND refusing = Dialog(0x47C))
            Chooser::Post(refusing, IDCANCEL);
        return !Dialog(0x47C) && ::GetActiveWindow();
    };
    return { type, gone };
}

struct CommandsTest : ChooserFixture {
    void SetUp() override
    {
        ChooserFixture::SetUp();
        TestStore::AddApplication("tool.exe", "C:\\Tools\\tool.exe", "Tool");
        TestStore::AddAssignment("txt", "tool.exe");
    }
    static std::string Field(int id) { return WindowText(::GetDlgItem(Dialog(IDC_NAME), id)); }
    static std::string TempFile(const std::string& name)
    {
        std::ofstream("C:\\" + name);
        return "C:\\" + name;
    }
    // Edits the tool with the steps and answers with the button; tells whether the list was reloaded, which
    // leaves nothing selected.
    static bool Edit(std::function<void()> inDialog, int answer = IDOK, Steps more = {})
    {
        bool reloaded = false;
        auto shown = [] { return Dialog(IDC_NAME) != nullptr; };
        auto answered = Chooser::Do([answer] { Chooser::Post(Dialog(IDC_NAME), answer); });
        auto closed = [&reloaded] {
            reloaded = Chooser::Selected() < 0;
            return !Dialog(IDC_NAME);
        };
        Chooser::Run("C:\\a.txt",
            Steps { Chooser::Command(ID_EDIT, 0), shown, Chooser::Do(inDialog) } + more
                + Steps { answered, closed });
        return reloaded;
    }
};

static FARPROC WINAPI LookUp(HMODULE module, LPCSTR name)
{
    bool deleteKeyEx = HIWORD(name) && ::lstrcmpA(name, "RegDeleteKeyExA") == 0;
    if (deleteKeyEx)
        ++g_lookUps;
    bool hidden = deleteKeyEx && ::GetEnvironmentVariableA("ZELVANTO_HIDE_DELETE_KEY_EX", nullptr, 0);
    return hidden ? nullptr : g_patch->Original<decltype(&::GetProcAddress)>()(module, name);
}

// First of the file: the process's first delete looks up RegDeleteKeyExA, once; run again without it.
TEST_F(CommandsTest, RemoveDeletesWhatNothingElseUses)
{
    ImportPatch lookUp(&__imp_GetProcAddress, (void*)LookUp);
    g_patch = &lookUp;
    g_lookUps = 0;
    TestStore::AddApplication("shared.exe", "C:\\s.exe", "Shared");
    TestStore::AddAssignment("MD", "Shared.EXE");
    // Named as long as Windows allows, it comes first in the store: it stays listed, and it stays when the
    // others go.
    const std::string longKey = TestStore::Letters("0", "東", 250) + ".exe";
    TestStore::AddApplication(longKey, "C:\\l.exe", "Zed");
    TestStore::AddAssignment("txt", longKey);
    auto assign = [] {
        TestStore::AddAssignment("txt", "shared.exe");
        TestStore::Set("Extensions\\txt\\shared.exe\\deeper", "x", 1);
    };
    // Tool goes with its record; then another copy removes Shared's assignment before this one does.
    std::vector<std::string> left;
    auto removedMeanwhile = Chooser::Do([&left] {
        left = Chooser::Items();
        TestStore::Delete("Extensions\\txt\\shared.exe");
    });
    assign();
    Chooser::Run(
        "C:\\a.txt", { Chooser::Command(ID_REMOVE, 1), removedMeanwhile, Chooser::Command(ID_REMOVE, 0) });
    EXPECT_EQ(left, (std::vector<std::string> { "Shared", "Zed" }));
    EXPECT_FALSE(TestStore::KeyExists(kApp));
    EXPECT_TRUE(TestStore::KeyExists("Extensions\\txt\\" + longKey));
    TestStore::Delete("Extensions\\txt\\" + longKey);
    EXPECT_EQ(boxes.Take(), std::vector { StoreMessage(IDS_ERR_DELETE_KEY, "Extensions\\txt") });
    assign();
    Chooser::Run("C:\\a.txt", { Chooser::Command(ID_REMOVE, 0) });
    EXPECT_FALSE(TestStore::KeyExists("Extensions\\txt"))
        << "the last assignment takes the record and its place with it";
    EXPECT_TRUE(TestStore::KeyExists("Applications\\shared.exe")) << "still assigned to md";
    EXPECT_EQ(g_lookUps, 1);
}

// The last name is of no file: the open dialog refuses it and is cancelled, so nothing is added.
TEST_F(CommandsTest, AddBuildsTheRecordsReusesAnApplicationAndRefusesADuplicate)
{
    TestStore::AddApplication("Viewer.EXE", "C:\\old\\Viewer.EXE", "Old viewer");
    TestStore::AddAssignment("md", "Viewer.EXE");
    const std::string tool = TempFile("my.tool.exe");
    const std::string viewer = TempFile("viewer.exe");
    // 109 characters in 289 bytes, in folders named in a script of three bytes a letter.
    const std::string folder = TestStore::Letters("C:\\", "東", 46);
    const std::string inner = TestStore::Letters(folder + "\\", "京", 44);
    ::CreateDirectoryA(folder.c_str(), nullptr);
    ::CreateDirectoryA(inner.c_str(), nullptr);
    const std::string tokyo = TempFile(inner.substr(3) + "\\tokyo.exe");
    Steps steps;
    for (const std::string& picked : { tool, viewer, viewer, tokyo, std::string("C:\\nowhere.exe") })
        steps = steps + Steps { Chooser::Command(ID_ADD) } + Pick(picked);
    steps.push_back(Chooser::Do([] {
        EXPECT_EQ(Chooser::Items(), (std::vector<std::string> { "my.tool", "Old viewer", "tokyo", "Tool" }));
    }));
    Chooser::Run("C:\\Docs\\a.TXT", steps);
    const std::string added = "Applications\\my.tool.exe";
    const std::string assigned = "Extensions\\txt\\my.tool.exe";
    EXPECT_EQ(TestStore::Get(added, "Path"), tool + '\0');
    EXPECT_EQ(TestStore::Get(added, "DisplayName"), std::string("my.tool") + '\0');
    EXPECT_EQ(TestStore::Get(assigned, "Default") + TestStore::Get(assigned, "Parameters"), "#0(missing)");
    EXPECT_EQ(TestStore::Get("Applications\\Viewer.EXE", "Path"), std::string("C:\\old\\Viewer.EXE") + '\0');
    EXPECT_EQ(TestStore::Get("Applications\\tokyo.exe", "Path"), tokyo + '\0');
    // The open dialog's own refusal is Wine's box, with no caption or icon.
    EXPECT_EQ(boxes.Take(),
        (std::vector<std::string> { ErrorBox(Loaded(IDS_ASSIGNMENT_EXISTS)), "|File does not exist|?" }));
    EXPECT_EQ(g_filter, "Ausführbare Dateien (*.exe; *.bat; *.cmd)")
        << "the same German text in every language";
}

// The menu as it would show: its default, each id with "x" if grayed, "*" if checked, and where it opens.
static BOOL WINAPI ShowMenu(HMENU menu, UINT, int x, int y, int, HWND, const RECT*)
{
    std::ostringstream seen;
    seen << ::GetMenuDefaultItem(menu, FALSE, GMDI_USEDISABLED) % 100;
    for (UINT id : { ID_OPEN, ID_DEFAULT, ID_ADD, ID_EDIT, ID_REMOVE }) {
        UINT state = ::GetMenuState(menu, id, MF_BYCOMMAND);
        seen << ' ' << id % 100 << (state & MF_GRAYED ? "x" : "") << (state & MF_CHECKED ? "*" : "");
    }
    POINT at = { x, y };
    ::ScreenToClient(Chooser::List(), &at);
    seen << " @" << at.x << ',' << at.y;
    g_menu = seen.str();
    return FALSE;
}

// The menu for each selection, by mouse and keyboard; Default marks the selected item alone, or nothing.
TEST_F(CommandsTest, TheMenuFollowsTheSelectionAndDefaultMarksOneItem)
{
    ImportPatch show(&__imp_TrackPopupMenu, (void*)ShowMenu);
    TestStore::AddApplication("a.exe", "C:\\a.exe", "A");
    TestStore::AddAssignment("txt", "a.exe", 1);
    // Placed small: Tool, the second item, is below the bottom while the list is scrolled to its top.
    TestStore::SetPlace("txt", { 100, 100, 140, 100 });
    // The item to select (-2: as loaded), the point (-1, -1: the keyboard's), the menu (none: caption).
    const std::tuple<int, POINT, std::string> rows[]
        = { { -2, { 150, 150 }, "1 1 9* 2 4 5 @46,27" }, { 1, { 150, 150 }, "1 1 9 2 4 5 @46,27" },
              { -1, { 150, 150 }, "1 1x 9x 2 4x 5x @46,27" }, { -1, { 150, 105 }, "" },
              { 1, { -1, -1 }, "1 1 9 2 4 5 @37,18" }, { -1, { -1, -1 }, "1 1x 9x 2 4x 5x @0,0" } };
    auto showMenu = [](int item, POINT at, std::string menu) {
        return Chooser::Do([item, at, menu] {
            if (item > -2)
                Chooser::Select(item);
            ListView_Scroll(Chooser::List(), 0, -1000);
            g_menu.clear();
            ::SendMessageA(
                Chooser::Window(), WM_CONTEXTMENU, (WPARAM)Chooser::Window(), MAKELPARAM(at.x, at.y));
            EXPECT_EQ(g_menu, menu) << item << " at " << at.x << "," << at.y;
        });
    };
    Steps steps;
    for (const auto& [item, at, menu] : rows)
        steps.push_back(showMenu(item, at, menu));
    std::string defaults;
    auto note = Chooser::Do([&defaults] {
        defaults
            += TestStore::Get("Extensions\\txt\\a.exe", "Default") + TestStore::Get(kAssignment, "Default");
    });
    // Another copy removes A's assignment: Default on it is told, and changes nothing here or in the store.
    auto removedMeanwhile = Chooser::Do([] { TestStore::Delete("Extensions\\txt\\a.exe"); });
    Chooser::Run("C:\\a.txt",
        steps
            + Steps { Chooser::Command(ID_DEFAULT, 1), note, Chooser::Command(ID_DEFAULT), note,
                Chooser::Command(ID_DEFAULT), removedMeanwhile, Chooser::Command(ID_DEFAULT, 0), note,
                showMenu(0, { 150, 150 }, "1 1 9 2 4 5 @46,27") });
    EXPECT_EQ(defaults, "#0#1#0#0(missing)#1");
    EXPECT_EQ(boxes.Take(), std::vector { StoreMessage(IDS_ERR_OPEN_KEY, "Extensions\\txt\\a.exe") });
}

static LONG WINAPI SetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    if (name && ::lstrcmpiA(name, g_unwritable) == 0)
        return ERROR_ACCESS_DENIED;
    return g_patch->Original<decltype(&::RegSetValueExA)>()(key, name, reserved, type, data, size);
}

// The fields show the stored texts unexpanded, or empty; Cancel writes nothing, whatever "%1" or Browse
// (which names the application only for an empty name) did; OK writes what changed, if only in letter case,
// telling what it cannot write.
TEST_F(CommandsTest, EditShowsTheValuesAndWritesExactlyWhatChanged)
{
    TestStore::Set(kApp, "Path", REG_EXPAND_SZ, std::string("%SystemRoot%\\tool.exe") + '\0');
    TestStore::Set(kAssignment, "Parameters", 7);
    const std::string program = TempFile("picked.v2.exe");
    std::vector<std::string> seen;
    auto note
        = [&seen] { seen.push_back(Field(IDC_NAME) + "|" + Field(IDC_PATH) + "|" + Field(IDC_PARAMETERS)); };
    auto browse = [&](const char* name) {
        auto press = Chooser::Do([name] {
            ::SetDlgItemTextA(Dialog(IDC_NAME), IDC_NAME, name);
            Chooser::Post(Dialog(IDC_NAME), IDC_BROWSE);
        });
        return Steps { press } + Pick(program) + Steps { Chooser::Do(note) };
    };
    // "%1" goes in place of the parameters' selection.
    auto insert = [&note] {
        HWND parameters = ::GetDlgItem(Dialog(IDC_NAME), IDC_PARAMETERS);
        ::SetWindowTextA(parameters, "ab");
        ::SendMessageA(parameters, EM_SETSEL, 1, 2);
        ::SendMessageA(Dialog(IDC_NAME), WM_COMMAND, IDC_INSERT_FILE, 0);
        note();
    };
    auto stored = [] {
        return TestStore::Get(kApp, "DisplayName") + TestStore::Get(kApp, "Path")
            + TestStore::Get(kAssignment, "Parameters");
    };
    EXPECT_FALSE(Edit(note));
    EXPECT_FALSE(Edit(insert, IDCANCEL, browse("") + browse("  ")));
    EXPECT_EQ(seen,
        (std::vector<std::string> { "Tool|%SystemRoot%\\tool.exe|", "Tool|%SystemRoot%\\tool.exe|a\"%1\"",
            "picked.v2|" + program + "|a\"%1\"", "  |" + program + "|a\"%1\"" }));
    EXPECT_EQ(stored(), std::string("Tool\0(type 2)#7", 15));
    ImportPatch setValue(&__imp_RegSetValueExA, (void*)SetValue);
    g_patch = &setValue;
    g_unwritable = "Path";
    // The path differs only in letter case: its write is tried, and fails.
    EXPECT_TRUE(Edit([] {
        ::SetDlgItemTextA(Dialog(IDC_NAME), IDC_NAME, "");
        ::SetDlgItemTextA(Dialog(IDC_NAME), IDC_PATH, "%SYSTEMROOT%\\tool.exe");
        ::SetDlgItemTextA(Dialog(IDC_NAME), IDC_PARAMETERS, "-p %1");
    }));
    EXPECT_EQ(stored(), std::string("\0(type 2)-p %1\0", 15));
    EXPECT_EQ(boxes.Take(), std::vector { StoreMessage(IDS_ERR_WRITE_KEY, kApp) });
}

// A value Add cannot write is told with its key, and leaves no half record.
TEST_F(CommandsTest, AFailedAddLeavesNoHalfRecord)
{
    ImportPatch setValue(&__imp_RegSetValueExA, (void*)SetValue);
    g_patch = &setValue;
    auto add = [](const char* unwritable) {
        g_unwritable = unwritable;
        Chooser::Run("C:\\a.md", { Chooser::Do([] {
            EXPECT_FALSE(Chooser::running->AddAssignment("C:\\t.exe", "t.exe", "t"));
        }) });
    };
    add("Path");
    EXPECT_FALSE(TestStore::KeyExists("Applications\\t.exe"));
    EXPECT_FALSE(TestStore::KeyExists("Extensions\\md"));
    EXPECT_EQ(boxes.Take(), std::vector { StoreMessage(IDS_ERR_WRITE_KEY, "Applications\\t.exe") });
    TestStore::AddApplication("t.exe", "C:\\t.exe", "t");
    add("Default");
    EXPECT_TRUE(TestStore::KeyExists("Applications\\t.exe")) << "a record there before stays";
    EXPECT_EQ(boxes.Take(), std::vector { StoreMessage(IDS_ERR_WRITE_KEY, "Extensions\\md\\t.exe") });
}
