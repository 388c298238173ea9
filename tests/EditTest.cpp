// The Edit command with the real edit dialog: what it shows, what it writes, when it reloads.
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

const char kApp[] = "Applications\\tool.exe";
const char kAssignment[] = "Extensions\\txt\\tool.exe";
const int kFileNameCombo = 0x47C;

// The edit dialog, once it is the active window.
HWND EditWindow()
{
    HWND active = ::GetActiveWindow();
    return active && active != ChooserWindow() && ::GetDlgItem(active, IDC_NAME) ? active : nullptr;
}

std::string Field(int id)
{
    return WindowText(::GetDlgItem(EditWindow(), id));
}

void SetField(int id, const std::string& text)
{
    ::SetWindowTextA(::GetDlgItem(EditWindow(), id), text.c_str());
}

void Press(int id)
{
    ::SendMessageA(EditWindow(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
        reinterpret_cast<LPARAM>(::GetDlgItem(EditWindow(), id)));
}

std::string StoredText(const char* key, const char* name)
{
    std::optional<TestStore::RawValue> value = TestStore::GetRaw(key, name);
    if (!value)
        return "(missing)";
    if (value->type != REG_SZ)
        return "(type " + std::to_string(value->type) + ")";
    return std::string(value->bytes.begin(), value->bytes.end());
}

class EditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestStore::Reset();
        TestStore::AddApplication("tool.exe", "C:\\Tools\\tool.exe", "Tool");
        TestStore::AddAssignment("txt", "tool.exe", 0);
    }
    void TearDown() override
    {
        CStoreKey::SetUnwritableValueName(nullptr);
        EXPECT_EQ(CStoreKey::OpenCount(), 0);
    }

    // Selects the tool, opens the edit dialog, does this in it, and answers with the button.
    void Edit(const std::function<void()>& inDialog, int answer = IDOK)
    {
        EditWith([&](UiScript& script) { script.ThenDo(inDialog); }, answer);
    }

    // The same, with steps of the test's own in the dialog.
    void EditWith(const std::function<void(UiScript&)>& addSteps, int answer)
    {
        UiScript script;
        script.ThenDo([] {
            LVITEMA state = {};
            state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
            ::SendMessageA(ChooserList(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
        });
        script.ThenDo([] { PostCommand(ChooserWindow(), ID_EDIT); });
        script.Then([] { return EditWindow() != nullptr; });
        addSteps(script);
        script.ThenDo([answer] { PostCommand(EditWindow(), answer); });
        script.Then([] { return EditWindow() == nullptr; });
        // Without a reload the selection made above is still there.
        script.ThenDo([this] { m_reloaded = SelectedCount(ChooserList()) == 0; });
        script.ThenDo([] { PostCommand(ChooserWindow(), IDCANCEL); });
        RunChooser("C:\\Docs\\a.txt");
        EXPECT_TRUE(script.Finished());
    }

    bool m_reloaded = false;
    BoxCatcher m_boxes;
};

} // namespace

TEST_F(EditTest, ShowsTheStoredValuesAndWritesNothingUnchanged)
{
    TestStore::SetRaw(kApp, "Path", REG_EXPAND_SZ, "%TOOLS%\\tool.exe", 17);
    std::vector<std::string> shown;
    Edit([&] { shown = { Field(IDC_NAME), Field(IDC_PATH), Field(IDC_PARAMETERS) }; });
    EXPECT_EQ(shown, (std::vector<std::string> { "Tool", "%TOOLS%\\tool.exe", "" }));
    EXPECT_EQ(TestStore::GetRaw(kApp, "Path")->type, DWORD(REG_EXPAND_SZ));
    EXPECT_EQ(StoredText(kAssignment, "Parameters"), "(missing)");
    EXPECT_FALSE(m_reloaded);

    Edit(
        [] {
            SetField(IDC_NAME, "Other");
            SetField(IDC_PATH, "C:\\other.exe");
            SetField(IDC_PARAMETERS, "-x");
        },
        IDCANCEL);
    EXPECT_EQ(StoredText(kApp, "DisplayName"), std::string("Tool") + '\0');
    EXPECT_EQ(StoredText(kAssignment, "Parameters"), "(missing)");
    EXPECT_FALSE(m_reloaded);
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(EditTest, WritesWhatChangedAndReloads)
{
    TestStore::SetRaw(kApp, "Path", REG_EXPAND_SZ, "%TOOLS%\\tool.exe", 17);
    Edit([] { SetField(IDC_NAME, "TOOL"); });
    EXPECT_EQ(StoredText(kApp, "DisplayName"), std::string("TOOL") + '\0');
    EXPECT_EQ(TestStore::GetRaw(kApp, "Path")->type, DWORD(REG_EXPAND_SZ)) << "unchanged, so not rewritten";
    EXPECT_TRUE(m_reloaded);

    Edit([] {
        SetField(IDC_NAME, "");
        SetField(IDC_PATH, "%TOOLS%\\tool2.exe");
    });
    EXPECT_EQ(StoredText(kApp, "DisplayName"), std::string(1, '\0'));
    EXPECT_EQ(StoredText(kApp, "Path"), std::string("%TOOLS%\\tool2.exe") + '\0');
}

TEST_F(EditTest, UnreadableParametersStartEmpty)
{
    TestStore::SetDword(kAssignment, "Parameters", 7);
    std::string shown = "?";
    Edit([&] { shown = Field(IDC_PARAMETERS); });
    EXPECT_EQ(shown, "");
    EXPECT_EQ(StoredText(kAssignment, "Parameters"), "(type 4)");
    Edit([] { SetField(IDC_PARAMETERS, "-p %1"); });
    EXPECT_EQ(StoredText(kAssignment, "Parameters"), std::string("-p %1") + '\0');
}

TEST_F(EditTest, TheInsertButtonReplacesTheSelectionWithUndo)
{
    std::vector<std::string> seen;
    Edit(
        [&] {
            HWND parameters = ::GetDlgItem(EditWindow(), IDC_PARAMETERS);
            SetField(IDC_PARAMETERS, "ab");
            ::SendMessageA(parameters, EM_SETSEL, 2, 2);
            HWND focus = ::GetFocus();
            Press(IDC_INSERT_FILE);
            Press(IDC_INSERT_FILE);
            seen.push_back(Field(IDC_PARAMETERS));
            EXPECT_EQ(::GetFocus(), focus) << "the focus stays where it was";
            ::SendMessageA(parameters, EM_SETSEL, 0, 2);
            Press(IDC_INSERT_FILE);
            seen.push_back(Field(IDC_PARAMETERS));
            ::SendMessageA(parameters, EM_UNDO, 0, 0);
            seen.push_back(Field(IDC_PARAMETERS));
            ::SendMessageA(parameters, EM_SETSEL, 0, -1);
            ::SendMessageA(
                parameters, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(std::string(300, 'x').c_str()));
            seen.push_back(std::to_string(Field(IDC_PARAMETERS).size()));
            for (int id : { IDC_NAME, IDC_PATH, IDC_PARAMETERS })
                seen.push_back(
                    std::to_string(::SendMessageA(::GetDlgItem(EditWindow(), id), EM_GETLIMITTEXT, 0, 0)));
        },
        IDCANCEL);
    EXPECT_EQ(seen,
        (std::vector<std::string> {
            "ab\"%1\"\"%1\"", "\"%1\"\"%1\"\"%1\"", "ab\"%1\"\"%1\"", "259", "259", "259", "259" }));
}

TEST_F(EditTest, BrowseFillsTheTitleOnlyIntoAnEmptyName)
{
    char temp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    std::string program = std::string(temp) + "picked.v2.exe";
    ::CloseHandle(::CreateFileA(program.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    for (std::string name : { "", "  " }) {
        SCOPED_TRACE("name '" + name + "'");
        std::vector<std::string> seen;
        EditWith(
            [&](UiScript& script) {
                script.ThenDo([&] {
                    SetField(IDC_NAME, name);
                    ::PostMessageA(EditWindow(), WM_COMMAND, MAKEWPARAM(IDC_BROWSE, BN_CLICKED), 0);
                });
                script.Then([&] {
                    HWND dialog = ::GetActiveWindow();
                    if (!dialog || !::GetDlgItem(dialog, kFileNameCombo))
                        return false;
                    ::SetDlgItemTextA(dialog, kFileNameCombo, program.c_str());
                    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                    return true;
                });
                script.Then([] { return EditWindow() != nullptr; });
                script.ThenDo([&] { seen = { Field(IDC_NAME), Field(IDC_PATH) }; });
            },
            IDCANCEL);
        EXPECT_EQ(seen, (std::vector<std::string> { name.empty() ? "picked.v2" : name, program }));
    }
    EXPECT_EQ(StoredText(kApp, "Path"), std::string("C:\\Tools\\tool.exe") + '\0') << "Cancel writes nothing";
}

TEST_F(EditTest, FailuresAreReportedAndTheNextFieldStillWritten)
{
    CStoreKey::SetUnwritableValueName("DisplayName");
    Edit([] {
        SetField(IDC_NAME, "New");
        SetField(IDC_PATH, "C:\\new.exe");
    });
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].text,
        Localized("Error writing registry key", "Fehler beim Schreiben des Registry-Keys") + ":\n"
            + TestStore::Root() + "\\" + kApp);
    EXPECT_EQ(StoredText(kApp, "Path"), std::string("C:\\new.exe") + '\0');
    EXPECT_TRUE(m_reloaded);
    m_boxes.Clear();

    Edit([] { SetField(IDC_NAME, "Newer"); });
    EXPECT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_FALSE(m_reloaded) << "no write went through";
}

TEST_F(EditTest, RecordsRemovedMeanwhileAreNamed)
{
    auto editAfter = [this](const char* removed) {
        UiScript script;
        script.ThenDo([] {
            LVITEMA state = {};
            state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
            ::SendMessageA(ChooserList(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
        });
        script.ThenDo(
            [removed] { ::RegDeleteTreeA(HKEY_CURRENT_USER, (TestStore::Root() + "\\" + removed).c_str()); });
        script.ThenDo([] { RunningChooser()->OnEdit(); });
        script.ThenDo([] { PostCommand(ChooserWindow(), IDCANCEL); });
        RunChooser("C:\\a.txt");
    };
    editAfter(kAssignment);
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].text,
        Localized("Error opening registry key", "Fehler beim Öffnen des Registry-Keys") + ":\n"
            + TestStore::Root() + "\\" + kAssignment);
    m_boxes.Clear();
    TestStore::AddAssignment("txt", "tool.exe", 0);
    editAfter("Applications");
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].text,
        Localized("Error opening registry key", "Fehler beim Öffnen des Registry-Keys") + ":\n"
            + TestStore::Root() + "\\" + kApp);
}

TEST_F(EditTest, NothingHappensWithoutASelectionAndEscapeCloses)
{
    bool opened = true;
    UiScript script;
    script.ThenDo([] { PostCommand(ChooserWindow(), ID_EDIT); });
    script.ThenDo([&] { opened = EditWindow() != nullptr; });
    script.ThenDo([] { PostCommand(ChooserWindow(), IDCANCEL); });
    RunChooser("C:\\a.txt");
    EXPECT_FALSE(opened);

    // Escape in a field reaches the dialog as Cancel; the caption has no close box.
    LONG style = 0;
    EditWith(
        [&](UiScript& steps) {
            steps.ThenDo([&] {
                style = ::GetWindowLongA(EditWindow(), GWL_STYLE);
                HWND name = ::GetDlgItem(EditWindow(), IDC_NAME);
                ::SetFocus(name);
                ::PostMessageA(name, WM_KEYDOWN, VK_ESCAPE, 0);
            });
            steps.Then([] { return EditWindow() == nullptr; });
        },
        IDCANCEL);
    EXPECT_EQ(style & WS_SYSMENU, 0);
}
