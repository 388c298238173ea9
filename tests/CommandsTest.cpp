// The commands of the context menu with the real menu, file dialog and edit dialog: what each changes in the
// store, what it tells, and that nothing the program holds grows with their number.
#include "resource.h"
#include "support/BoxCatcher.h"
#include "support/ChooserRun.h"
#include "support/ImportPatch.h"
#include "support/TestStore.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace
{

const int kFileNameCombo = 0x47C; // of the explorer-style open dialog
const int kFileTypeCombo = 0x470;
const UINT kGetMenuOfPopup = 0x01E1; // MN_GETHMENU
const char kApp[] = "Applications\\tool.exe";
const char kAssignment[] = "Extensions\\txt\\tool.exe";

std::string TempFile(const char* name)
{
    char temp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    ::CloseHandle(::CreateFileA(
        (temp + std::string(name)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return temp + std::string(name);
}

// The active window once it is a dialog with the control and not the chooser.
HWND Dialog(int control)
{
    HWND active = ::GetActiveWindow();
    return active && active != ChooserWindow() && ::GetDlgItem(active, control) ? active : nullptr;
}

// Picks a file in the open dialog that comes up, or cancels it for an empty path; reads its filter first.
void AnswerFileDialog(UiScript& script, const std::string& path, std::vector<std::string>* filters = nullptr)
{
    script.Then([=] {
        HWND dialog = Dialog(kFileNameCombo);
        if (!dialog)
            return false;
        for (int i = 0; filters && i < ::SendDlgItemMessageA(dialog, kFileTypeCombo, CB_GETCOUNT, 0, 0);
             ++i) {
            char text[128] = "";
            ::SendDlgItemMessageA(dialog, kFileTypeCombo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            filters->push_back(text);
        }
        ::SetDlgItemTextA(dialog, kFileNameCombo, path.c_str());
        ::PostMessageA(dialog, WM_COMMAND, path.empty() ? IDCANCEL : IDOK, 0);
        return true;
    });
    script.Then([] { return !Dialog(kFileNameCombo) && ::GetActiveWindow(); });
}

HWND Popup()
{
    HWND popup = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM found) {
            char name[16] = "";
            ::GetClassNameA(window, name, sizeof name);
            if (lstrcmpA(name, "#32768") == 0 && ::IsWindowVisible(window))
                *reinterpret_cast<HWND*>(found) = window;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&popup));
    return popup;
}

// Right-clicks at a screen point and describes the menu that opens: "-" for none, else each item's id
// with "x" for grayed and "*" for checked, and the default item's id; then closes it.
void ReadMenu(UiScript& script, POINT point, std::string& seen)
{
    script.ThenDo([point] {
        ::PostMessageA(ChooserWindow(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(ChooserList()),
            MAKELPARAM(point.x, point.y));
    });
    // The posted message is handled before the next tick, so the menu is either shown by then or never.
    script.ThenDo([&seen] {
        HWND popup = Popup();
        if (!popup) {
            seen = "-";
            return;
        }
        HMENU menu = reinterpret_cast<HMENU>(::SendMessageA(popup, kGetMenuOfPopup, 0, 0));
        for (UINT id : { ID_OPEN, ID_DEFAULT, ID_ADD, ID_EDIT, ID_REMOVE }) {
            UINT state = ::GetMenuState(menu, id, MF_BYCOMMAND);
            seen += std::to_string(id % 100) + (state & MF_GRAYED ? "x" : "")
                + (state & MF_CHECKED ? "*" : "") + " ";
        }
        seen += "default " + std::to_string(::GetMenuDefaultItem(menu, FALSE, GMDI_USEDISABLED) % 100);
        ::PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    script.Then([] { return Popup() == nullptr; });
}

class CommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestStore::Reset();
        TestStore::AddApplication("tool.exe", "C:\\Tools\\tool.exe", "Tool");
        TestStore::AddAssignment("txt", "tool.exe", 0);
    }
    void TearDown() override { EXPECT_EQ(Live().keys, 0); }

    // Selects the tool, opens the edit dialog, runs the steps in it and answers with the button; tells
    // whether the list was loaded again afterwards (the selection is then gone).
    bool Edit(const std::function<void(UiScript&)>& inDialog, int answer = IDOK)
    {
        UiScript script;
        script.ThenDo([] { SelectItem(ChooserList(), 0); }).ThenDo([] {
            PostCommand(ChooserWindow(), ID_EDIT);
        });
        script.Then([] { return Dialog(IDC_NAME) != nullptr; });
        inDialog(script);
        script.ThenDo([answer] { PostCommand(Dialog(IDC_NAME), answer); });
        script.Then([] { return !Dialog(IDC_NAME); });
        bool reloaded = false;
        script.ThenDo([&] { reloaded = SelectedItem(ChooserList()) < 0; });
        RunAndClose(script);
        return reloaded;
    }
    static std::string Field(int id) { return WindowText(::GetDlgItem(Dialog(IDC_NAME), id)); }
    static void SetField(int id, const std::string& text)
    {
        ::SetDlgItemTextA(Dialog(IDC_NAME), id, text.c_str());
    }

    BoxCatcher m_boxes;
};

} // namespace

TEST_F(CommandsTest, AddBuildsTheRecordsReusesAnApplicationAndRefusesADuplicate)
{
    TestStore::AddApplication("Viewer.EXE", "C:\\old\\Viewer.EXE", "Old viewer");
    TestStore::AddAssignment("md", "Viewer.EXE");
    const std::string tool = TempFile("my.tool.exe");
    const std::string viewer = TempFile("viewer.exe");
    UiScript script;
    std::vector<std::string> filters;
    for (const std::string& picked : { tool, viewer, viewer, std::string() }) {
        script.ThenDo([] { PostCommand(ChooserWindow(), ID_ADD); });
        AnswerFileDialog(script, picked, picked.empty() ? &filters : nullptr);
    }
    std::vector<std::string> listed;
    script.ThenDo([&] { listed = ItemTexts(ChooserList()); });
    RunAndClose(script, "C:\\Docs\\a.TXT");
    EXPECT_EQ(listed, (std::vector<std::string> { "my.tool", "Old viewer", "Tool" }));
    EXPECT_EQ(TestStore::Value("Applications\\my.tool.exe", "Path"), tool + '\0');
    EXPECT_EQ(TestStore::Value("Applications\\my.tool.exe", "DisplayName"), std::string("my.tool") + '\0');
    EXPECT_EQ(TestStore::GetDword("Extensions\\txt\\my.tool.exe", "Default"), 0u);
    EXPECT_EQ(TestStore::Value("Extensions\\txt\\my.tool.exe", "Parameters"), "(missing)");
    EXPECT_EQ(
        TestStore::Value("Applications\\Viewer.EXE", "Path"), std::string("C:\\old\\Viewer.EXE") + '\0');
    CString exists;
    exists.LoadString(IDS_ASSIGNMENT_EXISTS);
    EXPECT_EQ(m_boxes.Take(), std::vector<std::string> { std::string(exists) });
    EXPECT_EQ(filters,
        (std::vector<std::string> { Ansi("Ausführbare Dateien (*.exe; *.bat; *.cmd)"), "Anwendungen (*.exe)",
            "Stapelverarbeitungsdateien (*.bat)", "Befehlsskripte (*.cmd)", "Alle Dateien (*.*)" }));
}

static ImportPatch* g_setValue = nullptr;
static const char* g_unwritable = nullptr;

static LONG WINAPI SetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    if (g_unwritable && name && ::lstrcmpiA(name, g_unwritable) == 0)
        return ERROR_ACCESS_DENIED;
    return g_setValue->Original<decltype(&::RegSetValueExA)>()(key, name, reserved, type, data, size);
}

TEST_F(CommandsTest, AFailedAddLeavesNoHalfRecordAndTellsWhere)
{
    ImportPatch setValue("advapi32.dll", "RegSetValueExA", reinterpret_cast<void*>(SetValue));
    g_setValue = &setValue;
    auto add = [](const char* extension) {
        UiScript script;
        script.ThenDo([] { EXPECT_FALSE(RunningChooser()->AddAssignment("C:\\t.exe", "t.exe", "t")); });
        RunAndClose(script, std::string("C:\\a.") + extension);
    };
    for (const char* unwritable : { "Path", "DisplayName" }) {
        g_unwritable = unwritable;
        add("md");
        EXPECT_FALSE(TestStore::KeyExists("Applications\\t.exe")) << unwritable;
        EXPECT_FALSE(TestStore::KeyExists("Extensions\\md"));
        EXPECT_EQ(m_boxes.Take(),
            std::vector<std::string> { StoreMessage(IDS_ERR_WRITE_KEY, "Applications\\t.exe") });
    }
    // A record there before the call stays, whatever fails after it.
    g_unwritable = "Default";
    TestStore::AddApplication("t.exe", "C:\\t.exe", "t");
    add("md");
    EXPECT_TRUE(TestStore::KeyExists("Applications\\t.exe"));
    EXPECT_EQ(m_boxes.Take(),
        std::vector<std::string> { StoreMessage(IDS_ERR_WRITE_KEY, "Extensions\\md\\t.exe") });
    g_unwritable = nullptr;

    // The platform refuses a lasting key below a volatile one.
    HKEY volatileKey = nullptr;
    ::RegCreateKeyExA(HKEY_CURRENT_USER, (TestStore::Root() + "\\Extensions\\cs").c_str(), 0, nullptr,
        REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &volatileKey, nullptr);
    ::RegCloseKey(volatileKey);
    add("cs");
    EXPECT_EQ(m_boxes.Take(),
        std::vector<std::string> { StoreMessage(IDS_ERR_CREATE_KEY, "Extensions\\cs\\t.exe") });
}

TEST_F(CommandsTest, TheMenuFollowsTheSelection)
{
    TestStore::AddApplication("a.exe", "C:\\a.exe", "A");
    TestStore::AddAssignment("txt", "a.exe", 1);
    struct Row {
        int select; // -2: as loaded
        POINT point;
        std::string menu;
    };
    const Row rows[] = {
        { -2, { 250, 250 }, "1 9* 2 4 5 default 1" },
        { 1, { 250, 250 }, "1 9 2 4 5 default 1" },
        { -1, { 250, 250 }, "1x 9x 2 4x 5x default 1" },
        { -1, { 250, 105 }, "-" }, // on the caption
        { -1, { -1, -1 }, "-" },
    };
    std::vector<std::string> seen(std::size(rows));
    UiScript script;
    script.ThenDo([] { ::SetWindowPos(ChooserWindow(), nullptr, 100, 100, 400, 300, SWP_NOZORDER); });
    for (size_t i = 0; i < std::size(rows); ++i) {
        if (rows[i].select > -2)
            script.ThenDo([i, &rows] { SelectItem(ChooserList(), rows[i].select); });
        ReadMenu(script, rows[i].point, seen[i]);
    }
    RunAndClose(script);
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(seen[i], rows[i].menu) << i;
}

TEST_F(CommandsTest, DefaultTogglesOneItemAndClearsTheOthers)
{
    TestStore::AddApplication("b.exe", "C:\\b.exe", "B");
    TestStore::AddApplication("c.exe", "C:\\c.exe", "C");
    TestStore::AddAssignment("txt", "b.exe", 0);
    TestStore::AddAssignment("txt", "c.exe", 1);
    auto flags = [] {
        std::string values;
        for (const char* app : { "b.exe", "c.exe", "tool.exe" })
            values += std::to_string(
                TestStore::GetDword(std::string("Extensions\\txt\\") + app, "Default").value_or(9));
        return values;
    };
    std::vector<std::string> seen;
    UiScript script;
    script.ThenDo([] { SelectItem(ChooserList(), 0); });
    for (int press = 0; press < 2; ++press)
        script.ThenDo([] { PostCommand(ChooserWindow(), ID_DEFAULT); }).ThenDo([&] {
            seen.push_back(flags());
        });
    RunAndClose(script);
    EXPECT_EQ(seen, (std::vector<std::string> { "100", "000" }));
}

TEST_F(CommandsTest, RemoveDeletesWhatNothingElseUses)
{
    TestStore::AddApplication("shared.exe", "C:\\s.exe", "Shared");
    TestStore::AddAssignment("txt", "shared.exe");
    TestStore::AddAssignment("MD", "Shared.EXE");
    TestStore::SetDword("Extensions\\txt", "WindowLeft", 10);
    UiScript script;
    std::vector<std::string> afterFirst;
    script.ThenDo([] { SelectItem(ChooserList(), 1); }).ThenDo([] {
        PostCommand(ChooserWindow(), ID_REMOVE);
    });
    script.ThenDo([&] { afterFirst = ItemTexts(ChooserList()); });
    script.ThenDo([] {
        ::RegDeleteKeyA(HKEY_CURRENT_USER, (TestStore::Root() + "\\Extensions\\txt\\shared.exe").c_str());
    });
    script.ThenDo([] { SelectItem(ChooserList(), 0); }).ThenDo([] {
        PostCommand(ChooserWindow(), ID_REMOVE);
    });
    RunAndClose(script);
    EXPECT_EQ(afterFirst, std::vector<std::string> { "Shared" });
    EXPECT_FALSE(TestStore::KeyExists(kApp));
    EXPECT_TRUE(TestStore::KeyExists("Applications\\shared.exe")) << "still assigned to md";
    EXPECT_EQ(
        m_boxes.Take(), std::vector<std::string> { StoreMessage(IDS_ERR_DELETE_KEY, "Extensions\\txt") });

    // The last assignment takes the extension record with it, and the geometry in it.
    TestStore::AddAssignment("txt", "shared.exe");
    UiScript last;
    last.ThenDo([] { SelectItem(ChooserList(), 0); }).ThenDo([] { PostCommand(ChooserWindow(), ID_REMOVE); });
    RunAndClose(last);
    EXPECT_FALSE(TestStore::KeyExists("Extensions\\txt"));
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(CommandsTest, EditShowsTheValuesAndWritesExactlyWhatChanged)
{
    TestStore::SetRaw(kApp, "Path", REG_EXPAND_SZ, std::string("%TOOLS%\\tool.exe") + '\0');
    TestStore::SetDword(kAssignment, "Parameters", 7);
    std::vector<std::string> shown;
    EXPECT_FALSE(Edit([&](UiScript& s) {
        s.ThenDo([&] { shown = { Field(IDC_NAME), Field(IDC_PATH), Field(IDC_PARAMETERS) }; });
    }));
    EXPECT_EQ(shown, (std::vector<std::string> { "Tool", "%TOOLS%\\tool.exe", "" }));
    EXPECT_FALSE(Edit(
        [](UiScript& s) {
            s.ThenDo([] {
                SetField(IDC_NAME, "Other");
                SetField(IDC_PARAMETERS, "-x");
            });
        },
        IDCANCEL));
    EXPECT_EQ(TestStore::Value(kApp, "Path"), "(type 2)") << "unchanged, so not written";
    EXPECT_EQ(TestStore::Value(kApp, "DisplayName"), std::string("Tool") + '\0');
    EXPECT_EQ(TestStore::Value(kAssignment, "Parameters"), "(type 4)");

    EXPECT_TRUE(Edit([](UiScript& s) {
        s.ThenDo([] {
            SetField(IDC_NAME, "");
            SetField(IDC_PARAMETERS, "-p %1");
        });
    }));
    EXPECT_EQ(TestStore::Value(kApp, "DisplayName"), std::string(1, '\0'));
    EXPECT_EQ(TestStore::Value(kApp, "Path"), "(type 2)");
    EXPECT_EQ(TestStore::Value(kAssignment, "Parameters"), std::string("-p %1") + '\0');
    EXPECT_TRUE(Edit([](UiScript& s) { s.ThenDo([] { SetField(IDC_PATH, "C:\\new.exe"); }); }));
    EXPECT_EQ(TestStore::Value(kApp, "Path"), std::string("C:\\new.exe") + '\0');
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(CommandsTest, EditFieldsTakeTheInsertButtonTheBrowseButtonAnd259Characters)
{
    const std::string program = TempFile("picked.v2.exe");
    std::vector<std::string> seen;
    Edit(
        [&](UiScript& s) {
            s.ThenDo([&] {
                HWND parameters = ::GetDlgItem(Dialog(IDC_NAME), IDC_PARAMETERS);
                SetField(IDC_PARAMETERS, "ab");
                ::SendMessageA(parameters, EM_SETSEL, 1, 2);
                ::SendMessageA(Dialog(IDC_NAME), WM_COMMAND, IDC_INSERT_FILE, 0);
                seen.push_back(Field(IDC_PARAMETERS));
                ::SendMessageA(parameters, EM_UNDO, 0, 0);
                seen.push_back(Field(IDC_PARAMETERS));
                for (int id : { IDC_NAME, IDC_PATH, IDC_PARAMETERS }) {
                    ::SendDlgItemMessageA(Dialog(IDC_NAME), id, EM_SETSEL, 0, -1);
                    ::SendDlgItemMessageA(Dialog(IDC_NAME), id, EM_REPLACESEL, TRUE,
                        reinterpret_cast<LPARAM>(std::string(300, 'x').c_str()));
                    seen.push_back(std::to_string(Field(id).size()));
                }
                SetField(IDC_NAME, "");
                ::PostMessageA(Dialog(IDC_NAME), WM_COMMAND, IDC_BROWSE, 0);
            });
            AnswerFileDialog(s, program);
            s.Then([] { return Dialog(IDC_NAME) != nullptr; });
            s.ThenDo([&] { seen.push_back(Field(IDC_NAME) + " " + Field(IDC_PATH)); });
            s.ThenDo([] {
                SetField(IDC_NAME, "  ");
                ::PostMessageA(Dialog(IDC_NAME), WM_COMMAND, IDC_BROWSE, 0);
            });
            AnswerFileDialog(s, program);
            s.Then([] { return Dialog(IDC_NAME) != nullptr; });
            s.ThenDo([&] { seen.push_back(Field(IDC_NAME)); });
        },
        IDCANCEL);
    EXPECT_EQ(seen,
        (std::vector<std::string> { "a\"%1\"", "ab", "259", "259", "259", "picked.v2 " + program, "  " }));
    EXPECT_EQ(TestStore::Value(kApp, "Path"), std::string("C:\\Tools\\tool.exe") + '\0')
        << "Cancel writes nothing";
}

TEST_F(CommandsTest, EditFailuresAreToldAndTheOtherFieldsStillWritten)
{
    ImportPatch setValue("advapi32.dll", "RegSetValueExA", reinterpret_cast<void*>(SetValue));
    g_setValue = &setValue;
    g_unwritable = "DisplayName";
    EXPECT_TRUE(Edit([](UiScript& s) {
        s.ThenDo([] {
            SetField(IDC_NAME, "New");
            SetField(IDC_PATH, "C:\\new.exe");
        });
    }));
    EXPECT_EQ(m_boxes.Take(), std::vector<std::string> { StoreMessage(IDS_ERR_WRITE_KEY, kApp) });
    EXPECT_EQ(TestStore::Value(kApp, "Path"), std::string("C:\\new.exe") + '\0');
    EXPECT_FALSE(Edit([](UiScript& s) { s.ThenDo([] { SetField(IDC_NAME, "Newer"); }); }))
        << "no write went through";
    g_unwritable = nullptr;

    // Records removed by another copy while the list was shown; without a selection nothing opens.
    for (const char* removed : { kAssignment, "Applications" }) {
        TestStore::AddAssignment("txt", "tool.exe");
        UiScript script;
        script.ThenDo([] { SelectItem(ChooserList(), 0); });
        script.ThenDo(
            [=] { ::RegDeleteTreeA(HKEY_CURRENT_USER, (TestStore::Root() + "\\" + removed).c_str()); });
        script.ThenDo([] { RunningChooser()->OnEdit(); }).ThenDo([] { SelectItem(ChooserList(), -1); });
        script.ThenDo([] { RunningChooser()->OnEdit(); });
        RunAndClose(script);
    }
    EXPECT_EQ(m_boxes.Take(),
        (std::vector<std::string> { StoreMessage(IDS_ERR_WRITE_KEY, kApp),
            StoreMessage(IDS_ERR_OPEN_KEY, kAssignment), StoreMessage(IDS_ERR_OPEN_KEY, kApp) }));
}

TEST_F(CommandsTest, NothingTheProgramHoldsGrowsWithTheCommands)
{
    LiveObjects first;
    LiveObjects last;
    UiScript script;
    std::string menu;
    script.ThenDo([] { ::SetWindowPos(ChooserWindow(), nullptr, 100, 100, 400, 300, SWP_NOZORDER); });
    for (int cycle = 0; cycle < 50; ++cycle) {
        script.ThenDo([] {
            TestChooser& chooser = *RunningChooser();
            SelectItem(ChooserList(), 0);
            chooser.OnDefault();
            chooser.AddAssignment("C:\\Tools\\extra.exe", "extra.exe", "Extra");
            chooser.LoadList();
            SelectItem(ChooserList(), 0);
            chooser.RemoveAssignment();
            chooser.LoadList();
            ASSERT_TRUE(WaitForIcons(ChooserList()));
        });
        ReadMenu(script, { 150, 150 }, menu);
        script.ThenDo([&, cycle] { (cycle == 0 ? first : last) = Live(); });
    }
    RunAndClose(script);
    EXPECT_EQ(std::vector<int>({ last.keys, last.imageLists, last.icons, last.menus }),
        std::vector<int>({ first.keys, first.imageLists, first.icons, first.menus }));
    EXPECT_FALSE(TestStore::KeyExists("Applications\\extra.exe"));
    EXPECT_TRUE(m_boxes.Boxes().empty());
    EXPECT_EQ(TestStore::GetDword(kAssignment, "Default"), 0u) << "toggled an even number of times";
}
