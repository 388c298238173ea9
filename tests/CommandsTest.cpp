// The context menu's commands with the real menu, file dialog and edit dialog: what each changes in the store
// and tells the user, and that nothing the program holds grows with their number.
#include "support/ChooserRun.h"

#include <gtest/gtest.h>

using T = TestStore;
using C = Chooser;
static const char kApp[] = "Applications\\tool.exe", kAssignment[] = "Extensions\\txt\\tool.exe";
static ImportPatch* g_patch = nullptr;
static int g_lookUps = 0;
static const char* g_unwritable = "";
static std::string g_filter; // the file type the open dialog offered last (its box 0x470)

// The active window when it is a dialog with the control other than the chooser.
static HWND Dialog(int control)
{
    HWND active = ::GetActiveWindow();
    return active != C::Window() && ::GetDlgItem(active, control) ? active : nullptr;
}

static std::string Field(int id)
{
    return WindowText(::GetDlgItem(Dialog(IDC_NAME), id));
}

static std::string TempFile(const char* name)
{
    char folder[MAX_PATH] = "";
    std::string path = std::string(folder, ::GetTempPathA(MAX_PATH, folder)) + name;
    ::CloseHandle(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return path;
}

// Picks the file in the open dialog that comes up (the name box 0x47C), or cancels it for an empty path.
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

// Where the keyboard's menu opens: at the centre of the selected item's icon, else at the list's corner.
static bool AtSelection(HWND popup)
{
    RECT menu = {}, icon = { LVIR_ICON, 0, 0, 0 };
    POINT at = { 0, 0 };
    if (::SendMessageA(C::List(), LVM_GETITEMRECT, C::Selected(), (LPARAM)&icon))
        at = { (icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2 };
    ::ClientToScreen(C::List(), &at), ::GetWindowRect(popup, &menu);
    return menu.left == at.x && menu.top == at.y;
}

// Right-clicks at a screen point, or asks as Shift+F10 at (-1, -1), and describes the menu: "-" for none,
// else its default and per item the id with "x" for grayed and "*" for checked, and "@" if misplaced. A
// busy machine may keep the menu from showing, so the click is repeated until it shows or often enough.
static Steps Menu(POINT at, std::string& seen)
{
    auto click = [=] { ::PostMessageA(C::Window(), WM_CONTEXTMENU, 0, MAKELPARAM(at.x, at.y)); };
    return { C::Do(click), [&seen, click, at, tries = 0]() mutable {
                HWND popup = ::FindWindowA("#32768", nullptr);
                HMENU menu
                    = ::IsWindowVisible(popup) ? (HMENU)::SendMessageA(popup, MN_GETHMENU, 0, 0) : nullptr;
                if (!menu && ++tries < 50)
                    return click(), false;
                if (!menu)
                    return seen = "-", true;
                seen = std::to_string(::GetMenuDefaultItem(menu, FALSE, GMDI_USEDISABLED) % 100);
                for (UINT id : { ID_OPEN, ID_DEFAULT, ID_ADD, ID_EDIT, ID_REMOVE }) {
                    UINT state = ::GetMenuState(menu, id, MF_BYCOMMAND);
                    seen += " " + std::to_string(id % 100) + (state & MF_GRAYED ? "x" : "")
                        + (state & MF_CHECKED ? "*" : "");
                }
                seen += at.x == -1 && !AtSelection(popup) ? "@" : "";
                return ::EndMenu(), true;
            } };
}

struct CommandsTest : ::testing::Test {
    void SetUp() override
    {
        T::Reset(), T::AddApplication("tool.exe", "C:\\Tools\\tool.exe", "Tool"),
            T::AddAssignment("txt", "tool.exe");
    }
    void TearDown() override { EXPECT_EQ(Live().keys, 0) << "keys left open"; }
    // Selects the tool, edits it with the steps, answers with the button; tells whether the list was
    // reloaded.
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

// First of the file: the process's first delete, which looks up RegDeleteKeyExA once; run again without it.
TEST_F(CommandsTest, RemoveDeletesWhatNothingElseUses)
{
    ImportPatch lookUp("kernel32.dll", "GetProcAddress", (void*)LookUp, &__imp_GetProcAddress);
    g_patch = &lookUp, g_lookUps = 0;
    T::AddApplication("shared.exe", "C:\\s.exe", "Shared"), T::AddAssignment("txt", "shared.exe"),
        T::AddAssignment("MD", "Shared.EXE");
    T::SetDword("Extensions\\txt\\shared.exe\\deeper", "x", 1);
    std::vector<std::string> first;
    auto remove = [](int item) { return C::Do([=] { C::Select(item), C::Post(C::Window(), ID_REMOVE); }); };
    C::Run("C:\\a.txt",
        { remove(1), C::Do([&] { first = C::Items(), T::Delete("Extensions\\txt\\shared.exe"); }),
            remove(0) });
    EXPECT_EQ(first, std::vector<std::string> { "Shared" });
    EXPECT_FALSE(T::KeyExists(kApp));
    EXPECT_TRUE(T::KeyExists("Applications\\shared.exe")) << "still assigned to md";
    EXPECT_EQ(boxes.Take(), std::vector { StoreMessage(IDS_ERR_DELETE_KEY, "Extensions\\txt") });
    T::AddAssignment("txt", "shared.exe");
    T::SetDword("Extensions\\txt\\shared.exe\\deeper", "x", 1);
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
    std::vector<std::string> listed;
    C::Run("C:\\Docs\\a.TXT", steps + Steps { C::Do([&] { listed = C::Items(); }) });
    EXPECT_EQ(listed, (std::vector<std::string> { "my.tool", "Old viewer", "Tool" }));
    EXPECT_EQ(
        T::Get("Applications\\my.tool.exe", "Path") + T::Get("Applications\\my.tool.exe", "DisplayName"),
        tool + '\0' + "my.tool" + '\0');
    EXPECT_EQ(T::GetDword("Extensions\\txt\\my.tool.exe", "Default"), 0u);
    EXPECT_EQ(T::Get("Extensions\\txt\\my.tool.exe", "Parameters"), "(missing)");
    EXPECT_EQ(T::Get("Applications\\Viewer.EXE", "Path"), std::string("C:\\old\\Viewer.EXE") + '\0');
    CString exists;
    exists.LoadString(IDS_ASSIGNMENT_EXISTS);
    EXPECT_EQ(boxes.Take(), std::vector { std::string(exists) });
    EXPECT_EQ(g_filter, "Ausführbare Dateien (*.exe; *.bat; *.cmd)")
        << "the same German text in every language";
}

// The menu for each selection, by mouse and keyboard; Default marks the selected item alone, or nothing.
// Every menu shown is destroyed, and a reload holds no more than the load before it.
TEST_F(CommandsTest, TheMenuFollowsTheSelectionAndDefaultMarksOneItem)
{
    T::AddApplication("a.exe", "C:\\a.exe", "A"), T::AddAssignment("txt", "a.exe", 1);
    const std::tuple<int, POINT, std::string> rows[] = { { -2, { 250, 250 }, "1 1 9* 2 4 5" },
        { 1, { 250, 250 }, "1 1 9 2 4 5" }, { -1, { 250, 250 }, "1 1x 9x 2 4x 5x" },
        { -1, { 250, 105 }, "-" }, { 0, { -1, -1 }, "1 1 9* 2 4 5" }, { -1, { -1, -1 }, "1 1x 9x 2 4x 5x" } };
    // item to select (-2: as loaded), the point (-1, -1: the keyboard's), the menu; none over the caption
    std::string seen[std::size(rows)], defaults;
    std::vector<LiveObjects> live;
    Steps steps = { C::Do([] { ::SetWindowPos(C::Window(), nullptr, 100, 100, 400, 300, 0); }) };
    for (size_t i = 0; i < std::size(rows); ++i) {
        int item = std::get<0>(rows[i]);
        steps = steps + Steps { C::Do([=] { item > -2 ? C::Select(item) : void(); }) }
            + Menu(std::get<1>(rows[i]), seen[i]);
    }
    auto toggle = C::Do([] { C::Post(C::Window(), ID_DEFAULT); });
    auto note = C::Do([&] {
        for (const char* app : { "a.exe", "tool.exe" })
            defaults
                += std::to_string(T::GetDword(std::string("Extensions\\txt\\") + app, "Default").value_or(9));
    });
    auto reload = C::Do([&] { C::running->LoadList(), C::WaitForIcons(), live.push_back(Live()); });
    C::Run("C:\\a.txt",
        steps + Steps { C::Do([] { C::Select(1); }), toggle, note, toggle, note, reload, reload });
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(seen[i], std::get<2>(rows[i])) << i;
    EXPECT_EQ(defaults, "0100");
    EXPECT_EQ(std::tie(live[1].keys, live[1].imageLists, live[1].icons),
        std::tie(live[0].keys, live[0].imageLists, live[0].icons));
    EXPECT_EQ(Live().menus, 0);
}

TEST_F(CommandsTest, EditShowsTheValuesAndWritesExactlyWhatChanged)
{
    T::SetRaw(kApp, "Path", REG_EXPAND_SZ, std::string("%TOOLS%\\tool.exe") + '\0');
    T::SetDword(kAssignment, "Parameters", 7);
    std::string shown;
    auto set = [](const char* name, const char* parameters) {
        ::SetDlgItemTextA(Dialog(IDC_NAME), IDC_NAME, name),
            ::SetDlgItemTextA(Dialog(IDC_NAME), IDC_PARAMETERS, parameters);
    };
    auto stored = [] {
        return T::Get(kApp, "DisplayName") + T::Get(kApp, "Path") + T::Get(kAssignment, "Parameters");
    };
    EXPECT_FALSE(
        Edit([&] { shown = Field(IDC_NAME) + "|" + Field(IDC_PATH) + "|" + Field(IDC_PARAMETERS); }));
    EXPECT_EQ(shown, "Tool|%TOOLS%\\tool.exe|");
    EXPECT_FALSE(Edit([=] { set("Other", "-x"); }, IDCANCEL));
    EXPECT_EQ(stored(), std::string("Tool\0(type 2)(type 4)", 21));
    EXPECT_TRUE(Edit([=] { set("", "-p %1"); }));
    EXPECT_EQ(stored(), std::string("\0(type 2)-p %1\0", 15));
    EXPECT_TRUE(boxes.Boxes().empty());
}

// The "%1" button, Browse (it names the application only when the name is blank) and the 259-byte limit.
TEST_F(CommandsTest, EditFieldsTakeTheInsertButtonTheBrowseButtonAnd259Bytes)
{
    const std::string program = TempFile("picked.v2.exe");
    auto x = [](size_t count) { return std::string(count, 'x'); };
    // A text set, then typed at its end (nullptr: the "%1" button), and the bytes the field holds after.
    const std::tuple<int, std::string, const char*, size_t> cases[] = { { IDC_NAME, "Ω" + x(258), "", 4 },
        { IDC_NAME, x(257), "Ω", 259 }, { IDC_NAME, x(258), "Ω", 258 }, { IDC_PATH, x(255), "😀", 259 },
        { IDC_PATH, x(256), "😀", 256 }, { IDC_PARAMETERS, "東" + x(252), nullptr, 259 },
        { IDC_PARAMETERS, "東" + x(253), nullptr, 256 } };
    std::vector<std::string> seen;
    auto browse = [](const char* name) {
        return C::Do([=] {
            ::SetDlgItemTextA(Dialog(IDC_NAME), IDC_NAME, name), C::Post(Dialog(IDC_NAME), IDC_BROWSE);
        });
    };
    auto note = C::Do([&] { seen.push_back(Field(IDC_NAME) + "|" + Field(IDC_PATH)); });
    Edit(
        [&] {
            HWND dialog = Dialog(IDC_NAME), parameters = ::GetDlgItem(dialog, IDC_PARAMETERS);
            ::SetWindowTextA(parameters, "ab"), ::SendMessageA(parameters, EM_SETSEL, 1, 2);
            C::Post(dialog, IDC_INSERT_FILE), PumpUntil([&] { return Field(IDC_PARAMETERS) != "ab"; });
            seen.push_back(Field(IDC_PARAMETERS));
            ::SendMessageA(parameters, EM_UNDO, 0, 0), seen.push_back(Field(IDC_PARAMETERS));
            for (const auto& [id, set, typed, bytes] : cases) {
                ::SetDlgItemTextA(dialog, id, set.c_str());
                ::SendMessageA(typed ? ::GetDlgItem(dialog, id) : dialog, typed ? EM_REPLACESEL : WM_COMMAND,
                    typed ? TRUE : IDC_INSERT_FILE, reinterpret_cast<LPARAM>(typed));
                EXPECT_EQ(Field(id).size(), bytes) << id << (typed ? typed : " %1");
            }
        },
        IDCANCEL,
        Steps { browse("") } + Pick(program) + Steps { note, browse("  ") } + Pick(program) + Steps { note });
    EXPECT_EQ(seen, (std::vector<std::string> { "a\"%1\"", "ab", "picked.v2|" + program, "  |" + program }));
    EXPECT_EQ(T::Get(kApp, "Path"), std::string("C:\\Tools\\tool.exe") + '\0') << "Cancel writes nothing";
}

static LONG WINAPI SetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    if (name && ::lstrcmpiA(name, g_unwritable) == 0)
        return ERROR_ACCESS_DENIED;
    return g_patch->Original<decltype(&::RegSetValueExA)>()(key, name, reserved, type, data, size);
}

// A value that cannot be written is told with its key: Add leaves no half record, Edit writes the others.
TEST_F(CommandsTest, AValueThatCannotBeWrittenIsToldAndLeavesNoHalfRecord)
{
    ImportPatch setValue("advapi32.dll", "RegSetValueExA", (void*)SetValue, &__imp_RegSetValueExA);
    g_patch = &setValue;
    auto add = [](const char* unwritable) {
        g_unwritable = unwritable;
        C::Run("C:\\a.md",
            { C::Do([] { EXPECT_FALSE(C::running->AddAssignment("C:\\t.exe", "t.exe", "t")); }) });
    };
    for (const char* unwritable : { "Path", "DisplayName" }) {
        add(unwritable);
        EXPECT_FALSE(T::KeyExists("Applications\\t.exe") || T::KeyExists("Extensions\\md")) << unwritable;
        EXPECT_EQ(boxes.Take(), std::vector { StoreMessage(IDS_ERR_WRITE_KEY, "Applications\\t.exe") });
    }
    T::AddApplication("t.exe", "C:\\t.exe", "t");
    add("Default");
    EXPECT_TRUE(T::KeyExists("Applications\\t.exe")) << "a record there before stays";
    EXPECT_EQ(boxes.Take(), std::vector { StoreMessage(IDS_ERR_WRITE_KEY, "Extensions\\md\\t.exe") });
    g_unwritable = "DisplayName";
    EXPECT_TRUE(Edit([] {
        ::SetDlgItemTextA(Dialog(IDC_NAME), IDC_NAME, "New"),
            ::SetDlgItemTextA(Dialog(IDC_NAME), IDC_PATH, "C:\\n.exe");
    }));
    EXPECT_EQ(T::Get(kApp, "DisplayName") + T::Get(kApp, "Path"), std::string("Tool\0C:\\n.exe\0", 14));
    EXPECT_EQ(boxes.Take(), std::vector { StoreMessage(IDS_ERR_WRITE_KEY, kApp) });
}
