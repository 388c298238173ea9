// Building up the store from the window: Add with the real file dialog, Default, Remove, the click.
#include "store/StoreKey.h"
#include "support/BoxCatcher.h"
#include "support/ChooserRun.h"
#include "support/Language.h"
#include "support/TestStore.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace
{

// The file name box of the explorer-style open dialog.
const int kFileNameCombo = 0x47C;
const UINT kGetMenuOfPopup = 0x01E1; // MN_GETHMENU

struct MenuSeen {
    bool shown = false;
    std::vector<UINT> enabledIds;
    UINT defaultId = 0;
    bool defaultChecked = false;
};

BOOL CALLBACK FindPopup(HWND window, LPARAM found)
{
    char className[16] = "";
    ::GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32768") != 0 || !::IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The shown popup menu of this thread, if there is one.
HWND Popup()
{
    HWND popup = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindPopup, reinterpret_cast<LPARAM>(&popup));
    return popup;
}

// Right-clicks at a screen point, reads the menu that opens, and closes it without a choice.
void ReadMenu(UiScript& script, POINT point, MenuSeen& seen)
{
    script.ThenDo([point] {
        ::PostMessageA(ChooserWindow(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(ChooserList()),
            MAKELPARAM(point.x, point.y));
    });
    int waited = 0;
    script.Then([&seen, waited]() mutable {
        HWND popup = Popup();
        if (!popup)
            return ++waited > 25;
        HMENU menu = reinterpret_cast<HMENU>(::SendMessageA(popup, kGetMenuOfPopup, 0, 0));
        seen.shown = true;
        for (UINT id : { ID_OPEN, ID_DEFAULT, ID_ADD, ID_EDIT, ID_REMOVE }) {
            if (!(::GetMenuState(menu, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)))
                seen.enabledIds.push_back(id);
        }
        seen.defaultId = ::GetMenuDefaultItem(menu, FALSE, GMDI_USEDISABLED);
        seen.defaultChecked = ::GetMenuState(menu, ID_DEFAULT, MF_BYCOMMAND) & MF_CHECKED;
        // The menu's own loop reads the key, as it would the user's Escape.
        ::PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        return true;
    });
    script.Then([] { return Popup() == nullptr; });
}

// Picks a file in the open dialog that Add shows, or cancels it.
void AnswerFileDialog(UiScript& script, std::string path)
{
    script.Then([path] {
        HWND dialog = ::GetActiveWindow();
        if (!dialog || dialog == ChooserWindow() || !::GetDlgItem(dialog, kFileNameCombo))
            return false;
        if (path.empty()) {
            ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        } else {
            ::SetDlgItemTextA(dialog, kFileNameCombo, path.c_str());
            ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        }
        return true;
    });
    script.Then([] { return ::GetActiveWindow() == ChooserWindow(); });
}

std::string MakeProgram(const char* name)
{
    char temp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + name;
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(file);
    return path;
}

class AssignmentTest : public ::testing::Test
{
protected:
    void SetUp() override { TestStore::Reset(); }
    void TearDown() override { EXPECT_EQ(CStoreKey::OpenCount(), 0); }

    void RunAndClose(UiScript& script, const std::string& target = "C:\\Docs\\report.txt")
    {
        script.ThenDo([] { PostCommand(ChooserWindow(), IDCANCEL); });
        EXPECT_EQ(RunChooser(target), IDCANCEL);
        EXPECT_TRUE(script.Finished());
    }

    BoxCatcher m_boxes;
};

} // namespace

TEST_F(AssignmentTest, TheFirstAddBuildsTheWholeStore)
{
    std::string program = MakeProgram("my.tool.exe");
    UiScript script;
    std::vector<std::string> listed;
    script.ThenDo([] { PostCommand(ChooserWindow(), ID_ADD); });
    AnswerFileDialog(script, program);
    script.ThenDo([&] { listed = ItemTexts(ChooserList()); });
    RunAndClose(script);
    EXPECT_EQ(listed, std::vector<std::string> { "my.tool" });
    std::optional<TestStore::RawValue> path = TestStore::GetRaw("Applications\\my.tool.exe", "Path");
    ASSERT_TRUE(path);
    EXPECT_EQ(std::string(path->bytes.begin(), path->bytes.end()), program + '\0');
    EXPECT_EQ(TestStore::GetDword("Extensions\\txt\\my.tool.exe", "Default"), 0u);
    EXPECT_FALSE(TestStore::GetRaw("Extensions\\txt\\my.tool.exe", "Parameters"));
    EXPECT_TRUE(TestStore::GetDword("Extensions\\txt", "WindowLeft")) << "the new record takes the geometry";
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(AssignmentTest, ThePickerOffersTheGermanFilterAndKeepsTheStringsOnCancel)
{
    const int kFileTypeCombo = 0x470;
    std::vector<std::string> filters;
    UiScript script;
    script.Then([&] {
        HWND dialog = ::GetActiveWindow();
        HWND types = dialog ? ::GetDlgItem(dialog, kFileTypeCombo) : nullptr;
        if (!types)
            return false;
        int count = static_cast<int>(::SendMessageA(types, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[128] = "";
            ::SendMessageA(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            filters.push_back(text);
        }
        ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    // The picker uses nothing of the dialog, which need not run for it.
    TestChooser chooser("C:\\x.txt");
    CString fullPath("keep");
    CString fileName("these");
    CString fileTitle("three");
    EXPECT_FALSE(chooser.PickExecutable(fullPath, fileName, fileTitle));
    EXPECT_STREQ(fullPath, "keep");
    EXPECT_STREQ(fileName, "these");
    EXPECT_STREQ(fileTitle, "three");
    EXPECT_EQ(filters,
        (std::vector<std::string> { Ansi("Ausführbare Dateien (*.exe; *.bat; *.cmd)"), "Anwendungen (*.exe)",
            "Stapelverarbeitungsdateien (*.bat)", "Befehlsskripte (*.cmd)", "Alle Dateien (*.*)" }));
}

TEST_F(AssignmentTest, AddReusesTheApplicationAndRefusesADuplicate)
{
    TestStore::AddApplication("Viewer.EXE", "C:\\old\\Viewer.EXE", "Old viewer");
    TestStore::AddAssignment("md", "Viewer.EXE");
    std::string program = MakeProgram("viewer.exe");
    UiScript script;
    script.ThenDo([] { PostCommand(ChooserWindow(), ID_ADD); });
    AnswerFileDialog(script, program);
    script.ThenDo([] { PostCommand(ChooserWindow(), ID_ADD); });
    AnswerFileDialog(script, program);
    script.ThenDo([] { PostCommand(ChooserWindow(), ID_ADD); });
    AnswerFileDialog(script, "");
    std::vector<std::string> listed;
    script.ThenDo([&] { listed = ItemTexts(ChooserList()); });
    RunAndClose(script);
    EXPECT_EQ(listed, std::vector<std::string> { "Old viewer" });
    EXPECT_EQ(TestStore::SubkeyNames("Applications"), std::vector<std::string> { "Viewer.EXE" });
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].text,
        Localized("Application assignment already exists.", "Anwendungszuordnung existiert bereits."));
}

TEST_F(AssignmentTest, TheMenuFollowsTheSelection)
{
    TestStore::AddApplication("a.exe", "C:\\a.exe", "A");
    TestStore::AddApplication("b.exe", "C:\\b.exe", "B");
    TestStore::AddAssignment("txt", "a.exe", 1);
    TestStore::AddAssignment("txt", "b.exe", 0);
    MenuSeen withDefault;
    MenuSeen withOther;
    MenuSeen withNone;
    MenuSeen onCaption;
    UiScript script;
    script.ThenDo([] { ::SetWindowPos(ChooserWindow(), nullptr, 100, 100, 400, 300, SWP_NOZORDER); });
    ReadMenu(script, { 250, 250 }, withDefault);
    script.ThenDo([] { SelectItem(ChooserList(), 1); });
    ReadMenu(script, { 250, 250 }, withOther);
    script.ThenDo([] { SelectItem(ChooserList(), -1); });
    ReadMenu(script, { 250, 250 }, withNone);
    ReadMenu(script, { 250, 105 }, onCaption);
    RunAndClose(script);

    const std::vector<UINT> all = { ID_OPEN, ID_DEFAULT, ID_ADD, ID_EDIT, ID_REMOVE };
    EXPECT_TRUE(withDefault.shown);
    EXPECT_EQ(withDefault.enabledIds, all);
    EXPECT_TRUE(withDefault.defaultChecked);
    EXPECT_EQ(withDefault.defaultId, UINT(ID_OPEN));
    EXPECT_TRUE(withOther.shown);
    EXPECT_FALSE(withOther.defaultChecked);
    EXPECT_TRUE(withNone.shown);
    EXPECT_EQ(withNone.enabledIds, std::vector<UINT> { ID_ADD });
    EXPECT_EQ(withNone.defaultId, UINT(ID_OPEN));
    EXPECT_FALSE(withNone.defaultChecked);
    EXPECT_FALSE(onCaption.shown);
}

TEST_F(AssignmentTest, DefaultTogglesInPlace)
{
    for (const char* app : { "a.exe", "b.exe", "c.exe" }) {
        TestStore::AddApplication(app, "C:\\x.exe", app);
        TestStore::AddAssignment("txt", app, 0);
    }
    TestStore::SetDword("Extensions\\txt\\c.exe", "Default", 1);
    UiScript script;
    script.ThenDo([] { SelectItem(ChooserList(), 1); });
    script.ThenDo([] { PostCommand(ChooserWindow(), ID_DEFAULT); });
    std::vector<DWORD> afterOn;
    std::vector<DWORD> afterOff;
    auto flags = [] {
        std::vector<DWORD> values;
        for (const char* app : { "a.exe", "b.exe", "c.exe" })
            values.push_back(
                TestStore::GetDword(std::string("Extensions\\txt\\") + app, "Default").value_or(9));
        return values;
    };
    script.ThenDo([&] { afterOn = flags(); });
    script.ThenDo([] { PostCommand(ChooserWindow(), ID_DEFAULT); });
    script.ThenDo([&] { afterOff = flags(); });
    RunAndClose(script);
    EXPECT_EQ(afterOn, (std::vector<DWORD> { 0, 1, 0 }));
    EXPECT_EQ(afterOff, (std::vector<DWORD> { 0, 0, 0 }));
}

TEST_F(AssignmentTest, RemoveCleansUpWhatNothingUses)
{
    TestStore::AddApplication("shared.exe", "C:\\s.exe", "Shared");
    TestStore::AddApplication("only.exe", "C:\\o.exe", "Only");
    TestStore::AddAssignment("txt", "shared.exe");
    TestStore::AddAssignment("txt", "only.exe");
    TestStore::AddAssignment("MD", "Shared.EXE");
    TestStore::SetDword("Extensions\\txt", "WindowLeft", 10);
    UiScript script;
    std::vector<std::string> afterFirst;
    script.ThenDo([] { SelectItem(ChooserList(), 0); }); // Only
    script.ThenDo([] { PostCommand(ChooserWindow(), ID_REMOVE); });
    script.ThenDo([&] { afterFirst = ItemTexts(ChooserList()); });
    script.ThenDo([] { SelectItem(ChooserList(), 0); }); // Shared
    script.ThenDo([] { PostCommand(ChooserWindow(), ID_REMOVE); });
    RunAndClose(script);
    EXPECT_EQ(afterFirst, std::vector<std::string> { "Shared" });
    EXPECT_FALSE(TestStore::KeyExists("Applications\\only.exe"));
    EXPECT_TRUE(TestStore::KeyExists("Applications\\shared.exe")) << "still assigned to md";
    EXPECT_FALSE(TestStore::KeyExists("Extensions\\txt")) << "its geometry goes with it";
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(AssignmentTest, RemovingWhatAnotherProcessRemovedIsReported)
{
    TestStore::AddApplication("a.exe", "C:\\a.exe", "A");
    TestStore::AddApplication("b.exe", "C:\\b.exe", "B");
    TestStore::AddAssignment("txt", "a.exe", 1);
    TestStore::AddAssignment("txt", "b.exe");
    UiScript script;
    std::vector<std::string> after;
    script.ThenDo(
        [] { ::RegDeleteKeyA(HKEY_CURRENT_USER, (TestStore::Root() + "\\Extensions\\txt\\a.exe").c_str()); });
    script.ThenDo([] { PostCommand(ChooserWindow(), ID_REMOVE); });
    script.ThenDo([&] { after = ItemTexts(ChooserList()); });
    RunAndClose(script);
    EXPECT_EQ(after, (std::vector<std::string> { "A", "B" }));
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].text,
        Localized("Error deleting registry key", "Fehler beim Löschen des Registry-Keys") + ":\n"
            + TestStore::Root() + "\\Extensions\\txt");
}

TEST_F(AssignmentTest, AClickLaunchesTheSelectedItem)
{
    ForgetRecordedLaunch();
    TestStore::AddApplication("recorder.exe", RecorderProgram(), "Recorder");
    TestStore::AddAssignment("txt", "recorder.exe");
    auto click = [] {
        NMHDR header = { ChooserList(), IDC_APP_LIST, static_cast<UINT>(NM_CLICK) };
        ::SendMessageA(ChooserWindow(), WM_NOTIFY, IDC_APP_LIST, reinterpret_cast<LPARAM>(&header));
    };
    UiScript script;
    bool stillOpen = false;
    script.ThenDo(click); // on empty space: nothing selected
    script.ThenDo([&] { stillOpen = ::IsWindow(ChooserWindow()); });
    script.ThenDo([] { SelectItem(ChooserList(), 0); });
    script.ThenDo(click);
    EXPECT_EQ(RunChooser("C:\\x.txt"), IDOK);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(RecordedLaunch(), Quoted(RecorderProgram()) + " \"C:\\x.txt\"");
}
