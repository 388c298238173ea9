// The context menu and its commands, with the real file and edit dialogs: what each changes and tells.
#include "support/ChooserRun.h"

#include <gtest/gtest.h>

using T = TestStore;
using C = Chooser;
static const char kApp[] = "Applications\\tool.exe", kAssignment[] = "Extensions\\txt\\tool.exe";
static ImportPatch* g_patch = nullptr;
static int g_lookUps = 0;
static const char* g_unwritable = "";
static std::string g_filter, g_menu; // the file type the open dialog offered last; the menu shown last

// The active window when it is a dialog with the control.
static HWND Dialog(int control)
{
    HWND active = ::GetActiveWindow();
    return ::GetDlgItem(active, control) ? active : nullptr;
}

// Picks the file in the open dialog (its name box 0x47C, file type 0x470), or cancels it for no path.
static Steps Pick(const std::string& path)
{
    return { [=] {
                if (HWND dialog = Dialog(0x47C))
                    g_filter = WindowText(::GetDlgItem(dialog, 0x470)),
                    ::SetDlgItemTextA(dialog, 0x47C, path.c_str()),
                    C::Post(dialog, path.empty() ? IDCANCEL : IDOK);
                return Dialog(0x47C) != nullptr;
            },
        [] { return !Dialog(0x47C) && ::GetActiveWindow(); } };
}

struct CommandsTest : ::testing::Test {
    void SetUp() override
    {
        T::Reset(), T::AddApplication("tool.exe", "C:\\Tools\\tool.exe", "Tool"),
            T::AddAssignment("txt", "tool.exe");
    }
    void TearDown() override { EXPECT_EQ(Live().keys, 0) << "keys left open"; }
    static std::string Field(int id) { return WindowText(::GetDlgItem(Dialog(IDC_NAME), id)); }
    static std::string TempFile(std::string name) { return std::ofstream("C:\\" + name), "C:\\" + name; }
    // Edits the tool with the steps and answers with the button; tells whether the list was reloaded.
    bool Edit(std::function<void()> inDialog, int answer = IDOK, Steps more = {})
    {
        bool reloaded = false;
        C::Run("C:\\a.txt",
            Steps { C::Do([] { C::Select(0), C::Post(C::Window(), ID_EDIT); }),
                [] { return Dialog(IDC_NAME) != nullptr; }, C::Do(inDialog) }
                + more + Steps { C::Do([=] { C::Post(Dialog(IDC_NAME), answer); }), [&] {
                                    return !Dialog(IDC_NAME) && (reloaded = C::Selected() < 0, true);
                                } });
        return reloaded;
    }
    BoxCatcher boxes;
};

static FARPROC WINAPI LookUp(HMODULE module, LPCSTR name)
{
    bool deleteKeyEx = HIWORD(name) && ::lstrcmpA(name, "RegDeleteKeyExA") == 0;
    g_lookUps += deleteKeyEx;
    bool hidden = deleteKeyEx && ::GetEnvironmentVariableA("ZELVANTO_HIDE_DELETE_KEY_EX", nullptr, 0);
    return hidden ? nullptr : g_patch->Original<decltype(&::GetProcAddress)>()(module, name);
}

// First of the file: the process's first delete looks up RegDeleteKeyExA, once; run again without it.
TEST_F(CommandsTest, RemoveDeletesWhatNothingElseUses)
{
    ImportPatch lookUp(&__imp_GetProcAddress, (void*)LookUp);
    g_patch = &lookUp, g_lookUps = 0;
    T::AddApplication("shared.exe", "C:\\s.exe", "Shared"), T::AddAssignment("MD", "Shared.EXE");
    auto assign = [] {
        T::AddAssignment("txt", "shared.exe"), T::Set("Extensions\\txt\\shared.exe\\deeper", "x", 1);
    };
    auto remove = [](int item) { return C::Do([=] { C::Select(item), C::Post(C::Window(), ID_REMOVE); }); };
    std::vector<std::string> first;
    assign();
    C::Run("C:\\a.txt",
        { remove(1), C::Do([&] { first = C::Items(), T::Delete("Extensions\\txt\\shared.exe"); }),
            remove(0) });
    EXPECT_EQ(first, std::vector<std::string> { "Shared" });
    EXPECT_FALSE(T::KeyExists(kApp));
    EXPECT_EQ(boxes.Take(), std::vector { StoreMessage(IDS_ERR_DELETE_KEY, "Extensions\\txt") });
    assign();
    C::Run("C:\\a.txt", { remove(0) });
    EXPECT_FALSE(T::KeyExists("Extensions\\txt"))
        << "the last assignment takes the record and its place with it";
    EXPECT_TRUE(T::KeyExists("Applications\\shared.exe")) << "still assigned to md";
    EXPECT_EQ(g_lookUps, 1);
}

TEST_F(CommandsTest, AddBuildsTheRecordsReusesAnApplicationAndRefusesADuplicate)
{
    T::AddApplication("Viewer.EXE", "C:\\old\\Viewer.EXE", "Old viewer"),
        T::AddAssignment("md", "Viewer.EXE");
    const std::string tool = TempFile("my.tool.exe"), viewer = TempFile("viewer.exe");
    Steps steps;
    for (const std::string& picked : { tool, viewer, viewer, std::string() })
        steps = steps + Steps { C::Do([] { C::Post(C::Window(), ID_ADD); }) } + Pick(picked);
    C::Run("C:\\Docs\\a.TXT", steps + Steps { C::Do([] {
        EXPECT_EQ(C::Items(), (std::vector<std::string> { "my.tool", "Old viewer", "Tool" }));
    }) });
    const std::string added = "Applications\\my.tool.exe", assigned = "Extensions\\txt\\my.tool.exe";
    EXPECT_EQ(T::Get(added, "Path") + T::Get(added, "DisplayName"), tool + '\0' + "my.tool" + '\0');
    EXPECT_EQ(T::Get(assigned, "Default") + T::Get(assigned, "Parameters"), "#0(missing)");
    EXPECT_EQ(T::Get("Applications\\Viewer.EXE", "Path"), std::string("C:\\old\\Viewer.EXE") + '\0');
    EXPECT_EQ(boxes.Take(), std::vector { ErrorBox(Loaded(IDS_ASSIGNMENT_EXISTS)) });
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
    ::ScreenToClient(C::List(), &at);
    seen << " @" << at.x << ',' << at.y;
    return g_menu = seen.str(), FALSE;
}

// The menu for each selection, by mouse and keyboard; Default marks the selected item alone, or nothing.
TEST_F(CommandsTest, TheMenuFollowsTheSelectionAndDefaultMarksOneItem)
{
    static ImportPatch show(&__imp_TrackPopupMenu, (void*)ShowMenu);
    T::AddApplication("a.exe", "C:\\a.exe", "A"), T::AddAssignment("txt", "a.exe", 1);
    // The item to select (-2: as loaded), the point (-1, -1: the keyboard's), the menu (none: caption).
    const std::tuple<int, POINT, std::string> rows[]
        = { { -2, { 250, 250 }, "1 1 9* 2 4 5 @146,127" }, { 1, { 250, 250 }, "1 1 9 2 4 5 @146,127" },
              { -1, { 250, 250 }, "1 1x 9x 2 4x 5x @146,127" }, { -1, { 250, 105 }, "" },
              { 1, { -1, -1 }, "1 1 9 2 4 5 @112,20" }, { -1, { -1, -1 }, "1 1x 9x 2 4x 5x @0,0" } };
    std::string defaults;
    Steps steps = { C::Do([] { ::SetWindowPos(C::Window(), nullptr, 100, 100, 400, 300, 0); }) };
    for (const auto& [item, at, menu] : rows)
        steps.push_back(C::Do([item, at, menu] {
            item > -2 ? C::Select(item) : void(), g_menu.clear();
            ::SendMessageA(C::Window(), WM_CONTEXTMENU, (WPARAM)C::Window(), MAKELPARAM(at.x, at.y));
            EXPECT_EQ(g_menu, menu) << item << " at " << at.x << "," << at.y;
        }));
    auto toggle = C::Do([] { C::Post(C::Window(), ID_DEFAULT); });
    auto note = C::Do(
        [&] { defaults += T::Get("Extensions\\txt\\a.exe", "Default") + T::Get(kAssignment, "Default"); });
    C::Run("C:\\a.txt", steps + Steps { C::Do([] { C::Select(1); }), toggle, note, toggle, note });
    EXPECT_EQ(defaults, "#0#1#0#0");
}

static LONG WINAPI SetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    if (name && ::lstrcmpiA(name, g_unwritable) == 0)
        return ERROR_ACCESS_DENIED;
    return g_patch->Original<decltype(&::RegSetValueExA)>()(key, name, reserved, type, data, size);
}

// The fields show the stored texts unexpanded, or empty; Cancel writes nothing, whatever "%1" or Browse
// (which names the application only for an empty name) did; OK writes what changed, telling what it cannot
// write.
TEST_F(CommandsTest, EditShowsTheValuesAndWritesExactlyWhatChanged)
{
    T::Set(kApp, "Path", REG_EXPAND_SZ, std::string("%SystemRoot%\\tool.exe") + '\0'),
        T::Set(kAssignment, "Parameters", 7);
    const std::string program = TempFile("picked.v2.exe");
    std::vector<std::string> seen;
    auto note
        = [&] { seen.push_back(Field(IDC_NAME) + "|" + Field(IDC_PATH) + "|" + Field(IDC_PARAMETERS)); };
    auto browse = [&](const char* name) {
        return Steps { C::Do([=] {
            ::SetDlgItemTextA(Dialog(IDC_NAME), IDC_NAME, name), C::Post(Dialog(IDC_NAME), IDC_BROWSE);
        }) }
        + Pick(program) + Steps { C::Do(note) };
    };
    // At most 259 bytes: a letter of two bytes after 258 is refused whole.
    auto insert = [&] {
        ::SetDlgItemTextA(Dialog(IDC_NAME), IDC_NAME, std::string(258, 'x').c_str());
        ::SendDlgItemMessageA(Dialog(IDC_NAME), IDC_NAME, EM_REPLACESEL, TRUE, (LPARAM) "Ω");
        HWND parameters = ::GetDlgItem(Dialog(IDC_NAME), IDC_PARAMETERS);
        ::SetWindowTextA(parameters, "ab"), ::SendMessageA(parameters, EM_SETSEL, 1, 2);
        ::SendMessageA(Dialog(IDC_NAME), WM_COMMAND, IDC_INSERT_FILE, 0), note();
    };
    auto stored = [] {
        return T::Get(kApp, "DisplayName") + T::Get(kApp, "Path") + T::Get(kAssignment, "Parameters");
    };
    EXPECT_FALSE(Edit(note));
    EXPECT_FALSE(Edit(insert, IDCANCEL, browse("") + browse("  ")));
    EXPECT_EQ(seen,
        (std::vector<std::string> { "Tool|%SystemRoot%\\tool.exe|",
            std::string(258, 'x') + "|%SystemRoot%\\tool.exe|a\"%1\"", "picked.v2|" + program + "|a\"%1\"",
            "  |" + program + "|a\"%1\"" }));
    EXPECT_EQ(stored(), std::string("Tool\0(type 2)#7", 15));
    ImportPatch setValue(&__imp_RegSetValueExA, (void*)SetValue);
    g_patch = &setValue, g_unwritable = "Path";
    EXPECT_TRUE(Edit([] {
        HWND dialog = Dialog(IDC_NAME);
        ::SetDlgItemTextA(dialog, IDC_NAME, ""), ::SetDlgItemTextA(dialog, IDC_PATH, "C:\\n.exe");
        ::SetDlgItemTextA(dialog, IDC_PARAMETERS, "-p %1");
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
        C::Run("C:\\a.md",
            { C::Do([] { EXPECT_FALSE(C::running->AddAssignment("C:\\t.exe", "t.exe", "t")); }) });
    };
    add("Path");
    EXPECT_FALSE(T::KeyExists("Applications\\t.exe") || T::KeyExists("Extensions\\md"));
    EXPECT_EQ(boxes.Take(), std::vector { StoreMessage(IDS_ERR_WRITE_KEY, "Applications\\t.exe") });
    T::AddApplication("t.exe", "C:\\t.exe", "t");
    add("Default");
    EXPECT_TRUE(T::KeyExists("Applications\\t.exe")) << "a record there before stays";
    EXPECT_EQ(boxes.Take(), std::vector { StoreMessage(IDS_ERR_WRITE_KEY, "Extensions\\md\\t.exe") });
}
