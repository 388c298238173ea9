// The context menu's commands with the real menu, file dialog and edit dialog: what each changes in the store
// and tells the user, and that nothing the program holds grows with their number.
#include "support/ChooserRun.h"
#include "support/TestStore.h"

#include <gtest/gtest.h>

using T = TestStore;
using C = Chooser;
static const char kApp[] = "Applications\\tool.exe", kAssignment[] = "Extensions\\txt\\tool.exe";
static ImportPatch* g_patch = nullptr;
static int g_calls = 0;
static const char* g_unwritable = "";

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

static std::string g_filter; // the file type the open dialog offered last (its box 0x470)

// Picks the file in the open dialog that comes up (the name box 0x47C), or cancels it for an empty path.
static std::vector<Step> Pick(const std::string& path)
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

// Right-clicks at a screen point and describes the menu: "-" for none, else its default and per item the id
// with "x" for grayed and "*" for checked. The posted click is handled before the next tick decides: a
// busy machine may keep the menu from showing, so the click is repeated until it shows or often enough.
static std::vector<Step> Menu(POINT at, std::string& seen)
{
    auto click = [=] { ::PostMessageA(C::Window(), WM_CONTEXTMENU, 0, MAKELPARAM(at.x, at.y)); };
    return { C::Do(click), [&seen, click, tries = 0]() mutable {
                HWND popup = ::FindWindowA("#32768", nullptr);
                HMENU menu
                    = ::IsWindowVisible(popup) ? (HMENU)::SendMessageA(popup, MN_GETHMENU, 0, 0) : nullptr;
                if (!menu && ++tries < 50)
                    return click(), false;
                seen = menu ? std::to_string(::GetMenuDefaultItem(menu, FALSE, GMDI_USEDISABLED) % 100) : "-";
                for (UINT id : { ID_OPEN, ID_DEFAULT, ID_ADD, ID_EDIT, ID_REMOVE }) {
                    UINT state = menu ? ::GetMenuState(menu, id, MF_BYCOMMAND) : 0;
                    seen += std::string(menu ? " " : "") + (menu ? std::to_string(id % 100) : "");
                    seen += std::string(state & MF_GRAYED ? "x" : "") + (state & MF_CHECKED ? "*" : "");
                }
                ::EndMenu();
                return true;
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
    bool Edit(std::function<void()> inDialog, int answer = IDOK, std::vector<Step> more = {})
    {
        bool reloaded = false;
        std::vector<Step> steps = { C::Do([] { C::Select(0), C::Post(C::Window(), ID_EDIT); }),
            [] { return Dialog(IDC_NAME) != nullptr; }, C::Do(inDialog) };
        steps.insert(steps.end(), more.begin(), more.end());
        steps.push_back(C::Do([=] { C::Post(Dialog(IDC_NAME), answer); }));
        steps.push_back([&] { return !Dialog(IDC_NAME) && (reloaded = C::Selected() < 0, true); });
        C::Run("C:\\a.txt", steps);
        return reloaded;
    }
    BoxCatcher boxes;
};

static FARPROC WINAPI LookUp(HMODULE module, LPCSTR name)
{
    bool deleteKeyEx = HIWORD(name) && ::lstrcmpA(name, "RegDeleteKeyExA") == 0;
    g_calls += deleteKeyEx;
    bool hidden = deleteKeyEx && ::GetEnvironmentVariableA("ZELVANTO_HIDE_DELETE_KEY_EX", nullptr, 0);
    return hidden ? nullptr : g_patch->Original<decltype(&::GetProcAddress)>()(module, name);
}

// First of the file: the process's first delete, which looks up RegDeleteKeyExA once; run again without it.
TEST_F(CommandsTest, RemoveDeletesWhatNothingElseUses)
{
    ImportPatch lookUp("kernel32.dll", "GetProcAddress", (void*)LookUp);
    g_patch = &lookUp, g_calls = 0;
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
    EXPECT_EQ(g_calls, 1);
}

TEST_F(CommandsTest, AddBuildsTheRecordsReusesAnApplicationAndRefusesADuplicate)
{
    T::AddApplication("Viewer.EXE", "C:\\old\\Viewer.EXE", "Old viewer"),
        T::AddAssignment("md", "Viewer.EXE");
    char temp[MAX_PATH] = "";
    const std::string folder(temp, ::GetTempPathA(MAX_PATH, temp)), tool = folder + "my.tool.exe";
    for (const char* name : { "my.tool.exe", "viewer.exe" })
        ::CloseHandle(
            ::CreateFileA((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    std::vector<Step> steps;
    for (const std::string& picked : { tool, folder + "viewer.exe", folder + "viewer.exe", std::string() }) {
        steps.push_back(C::Do([] { C::Post(C::Window(), ID_ADD); }));
        for (const Step& step : Pick(picked))
            steps.push_back(step);
    }
    std::vector<std::string> listed;
    steps.push_back(C::Do([&] { listed = C::Items(); }));
    C::Run("C:\\Docs\\a.TXT", steps);
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

static LONG WINAPI SetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    if (name && ::lstrcmpiA(name, g_unwritable) == 0)
        return ERROR_ACCESS_DENIED;
    return g_patch->Original<decltype(&::RegSetValueExA)>()(key, name, reserved, type, data, size);
}

TEST_F(CommandsTest, AFailedAddLeavesNoHalfRecordAndTellsWhere)
{
    ImportPatch setValue("advapi32.dll", "RegSetValueExA", (void*)SetValue);
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
}

TEST_F(CommandsTest, TheMenuFollowsTheSelection)
{
    T::AddApplication("a.exe", "C:\\a.exe", "A"), T::AddAssignment("txt", "a.exe", 1);
    const std::tuple<int, POINT, std::string> rows[] = {
        { -2, { 250, 250 }, "1 1 9* 2 4 5" }, { 1, { 250, 250 }, "1 1 9 2 4 5" },
        { -1, { 250, 250 }, "1 1x 9x 2 4x 5x" }, { -1, { 250, 105 }, "-" }, { 0, { -1, -1 }, "1 1 9* 2 4 5" },
        { -1, { -1, -1 }, "1 1x 9x 2 4x 5x" }
    }; // item to select (-2: as loaded), the point (-1, -1: the keyboard's), the menu; none over the caption
    std::string seen[std::size(rows)];
    std::vector<Step> steps = { C::Do([] { ::SetWindowPos(C::Window(), nullptr, 100, 100, 400, 300, 0); }) };
    for (size_t i = 0; i < std::size(rows); ++i) {
        steps.push_back(C::Do([=] { std::get<0>(rows[i]) > -2 ? C::Select(std::get<0>(rows[i])) : void(); }));
        for (const Step& step : Menu(std::get<1>(rows[i]), seen[i]))
            steps.push_back(step);
    }
    C::Run("C:\\a.txt", steps);
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(seen[i], std::get<2>(rows[i])) << i;
}

TEST_F(CommandsTest, DefaultTogglesOneItemAndClearsTheOthers)
{
    T::AddApplication("b.exe", "C:\\b.exe", "B"), T::AddAssignment("txt", "b.exe", 1);
    std::string seen;
    auto toggle = C::Do([&] { C::Post(C::Window(), ID_DEFAULT); });
    auto note = C::Do([&] {
        for (const char* app : { "b.exe", "tool.exe" })
            seen
                += std::to_string(T::GetDword(std::string("Extensions\\txt\\") + app, "Default").value_or(9));
    });
    C::Run("C:\\a.txt", { C::Do([] { C::Select(1); }), toggle, note, toggle, note });
    EXPECT_EQ(seen, "0100");
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
    EXPECT_FALSE(
        Edit([&] { shown = Field(IDC_NAME) + "|" + Field(IDC_PATH) + "|" + Field(IDC_PARAMETERS); }));
    EXPECT_EQ(shown, "Tool|%TOOLS%\\tool.exe|");
    EXPECT_FALSE(Edit([=] { set("Other", "-x"); }, IDCANCEL));
    EXPECT_EQ(T::Get(kApp, "DisplayName") + T::Get(kApp, "Path") + T::Get(kAssignment, "Parameters"),
        std::string("Tool\0(type 2)(type 4)", 21));
    EXPECT_TRUE(Edit([=] { set("", "-p %1"); }));
    EXPECT_EQ(T::Get(kApp, "DisplayName") + T::Get(kApp, "Path") + T::Get(kAssignment, "Parameters"),
        std::string("\0(type 2)-p %1\0", 15));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(CommandsTest, EditFieldsTakeTheInsertButtonTheBrowseButtonAnd259Characters)
{
    char temp[MAX_PATH] = "";
    const std::string program = std::string(temp, ::GetTempPathA(MAX_PATH, temp)) + "picked.v2.exe";
    ::CloseHandle(::CreateFileA(program.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    std::vector<std::string> seen;
    auto browse = [](const char* name) {
        return C::Do([=] {
            ::SetDlgItemTextA(Dialog(IDC_NAME), IDC_NAME, name), C::Post(Dialog(IDC_NAME), IDC_BROWSE);
        });
    };
    auto note = C::Do([&] { seen.push_back(Field(IDC_NAME) + "|" + Field(IDC_PATH)); });
    std::vector<Step> more = { browse("") };
    for (const std::vector<Step>& part : { Pick(program), { note, browse("  ") }, Pick(program), { note } })
        more.insert(more.end(), part.begin(), part.end());
    Edit(
        [&] {
            HWND dialog = Dialog(IDC_NAME), parameters = ::GetDlgItem(dialog, IDC_PARAMETERS);
            ::SetWindowTextA(parameters, "ab"), ::SendMessageA(parameters, EM_SETSEL, 1, 2),
                C::Post(dialog, IDC_INSERT_FILE);
            PumpUntil([&] { return Field(IDC_PARAMETERS) != "ab"; }), seen.push_back(Field(IDC_PARAMETERS));
            ::SendMessageA(parameters, EM_UNDO, 0, 0), seen.push_back(Field(IDC_PARAMETERS));
            for (int id : { IDC_NAME, IDC_PATH, IDC_PARAMETERS }) {
                ::SendDlgItemMessageA(dialog, id, EM_SETSEL, 0, -1);
                ::SendDlgItemMessageA(dialog, id, EM_REPLACESEL, 0, (LPARAM)std::string(300, 'x').c_str());
                seen.push_back(std::to_string(Field(id).size()));
            }
        },
        IDCANCEL, more);
    EXPECT_EQ(seen,
        (std::vector<std::string> {
            "a\"%1\"", "ab", "259", "259", "259", "picked.v2|" + program, "  |" + program }));
    EXPECT_EQ(T::Get(kApp, "Path"), std::string("C:\\Tools\\tool.exe") + '\0') << "Cancel writes nothing";
}

TEST_F(CommandsTest, EditFailuresAreToldAndTheOtherFieldsStillWritten)
{
    ImportPatch setValue("advapi32.dll", "RegSetValueExA", (void*)SetValue);
    g_patch = &setValue, g_unwritable = "DisplayName";
    auto set = [](const char* name) {
        ::SetDlgItemTextA(Dialog(IDC_NAME), IDC_NAME, name),
            ::SetDlgItemTextA(Dialog(IDC_NAME), IDC_PATH, "C:\\new.exe");
    };
    EXPECT_TRUE(Edit([=] { set("New"); }));
    EXPECT_EQ(T::Get(kApp, "Path"), std::string("C:\\new.exe") + '\0');
    EXPECT_FALSE(Edit([=] { set("Newer"); })) << "no write went through";
    // Records removed by another copy while the list was shown; without a selection nothing opens.
    for (const char* removed : { kAssignment, "Applications" }) {
        T::AddAssignment("txt", "tool.exe");
        C::Run("C:\\a.txt", { C::Do([=] {
            C::Select(0), T::Delete(removed), C::running->OnEdit(), C::Select(-1), C::running->OnEdit();
        }) });
    }
    EXPECT_EQ(boxes.Take(),
        (std::vector { StoreMessage(IDS_ERR_WRITE_KEY, kApp), StoreMessage(IDS_ERR_WRITE_KEY, kApp),
            StoreMessage(IDS_ERR_OPEN_KEY, kAssignment), StoreMessage(IDS_ERR_OPEN_KEY, kApp) }));
}

TEST_F(CommandsTest, NothingTheProgramHoldsGrowsWithTheCommands)
{
    LiveObjects first, last;
    std::string menu;
    std::vector<Step> steps = { C::Do([] { ::SetWindowPos(C::Window(), nullptr, 100, 100, 400, 300, 0); }) };
    for (int cycle = 0; cycle < 30; ++cycle) {
        steps.push_back(C::Do([] {
            C::Select(0), C::running->OnDefault(),
                C::running->AddAssignment("C:\\x.exe", "extra.exe", "Extra");
            C::running->LoadList(), C::Select(0), C::running->RemoveAssignment(), C::running->LoadList(),
                C::WaitForIcons();
        }));
        for (const Step& step : Menu({ 150, 150 }, menu))
            steps.push_back(step);
        steps.push_back(C::Do([&, cycle] { (cycle ? last : first) = Live(); }));
    }
    C::Run("C:\\a.txt", steps);
    EXPECT_EQ(std::vector({ last.keys, last.imageLists, last.icons, last.menus }),
        std::vector({ first.keys, first.imageLists, first.icons, first.menus }));
    EXPECT_EQ(menu, "1 1x 9x 2 4x 5x") << "shown every time";
    EXPECT_EQ(T::GetDword(kAssignment, "Default"), 0u) << "toggled an even number of times";
    EXPECT_FALSE(T::KeyExists("Applications\\extra.exe"));
}
