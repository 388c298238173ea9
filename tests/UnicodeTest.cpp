// Names that code page 1252 cannot hold, end to end; the edit fields' limit in bytes; the keyboard's menu.
#include "support/BoxCatcher.h"
#include "support/ChooserRun.h"
#include "support/TestStore.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace
{

BOOL CALLBACK NoteShown(HWND window, LPARAM found)
{
    if (::IsWindowVisible(window) && window != ChooserWindow())
        *reinterpret_cast<HWND*>(found) = window;
    return TRUE;
}

// The edit dialog or the context menu, whichever this thread shows over the chooser.
HWND Over()
{
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), NoteShown, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Opens the edit dialog on the selected item, does this in it and answers with the button.
void InEditDialog(UiScript& script, const std::function<void()>& action, int answer = IDOK)
{
    script.ThenDo([] { PostCommand(ChooserWindow(), ID_EDIT); }).Then([] { return Over() != nullptr; });
    script.ThenDo(action).ThenDo([answer] { PostCommand(Over(), answer); });
    script.Then([] { return Over() == nullptr; });
}

// Asks for the menu as Shift+F10 does: it opens at the selected icon's centre or the list's corner.
void CheckKeyboardMenu(UiScript& script, const std::vector<UINT>& expected)
{
    script.ThenDo([] { ::PostMessageA(ChooserWindow(), WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1)); });
    script.Then([expected] {
        RECT menu = {}, icon = { LVIR_ICON, 0, 0, 0 };
        POINT at = { 0, 0 };
        if (!::GetWindowRect(Over(), &menu))
            return false;
        if (::SendMessageA(ChooserList(), LVM_GETITEMRECT, SelectedItem(ChooserList()), (LPARAM)&icon))
            at = { (icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2 };
        ::ClientToScreen(ChooserList(), &at);
        EXPECT_EQ(std::make_pair(menu.left, menu.top), std::make_pair(at.x, at.y));
        HMENU items = reinterpret_cast<HMENU>(::SendMessageA(Over(), MN_GETHMENU, 0, 0));
        std::vector<UINT> states = { ::GetMenuDefaultItem(items, FALSE, GMDI_USEDISABLED) };
        for (UINT id : { ID_OPEN, ID_DEFAULT, ID_ADD, ID_EDIT, ID_REMOVE })
            states.push_back(::GetMenuState(items, id, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED));
        EXPECT_EQ(states, expected);
        return ::PostMessageA(Over(), WM_KEYDOWN, VK_ESCAPE, 0) != FALSE;
    });
}

std::string Times(int count, const std::string& text)
{
    return count ? text + Times(count - 1, text) : "";
}

} // namespace

TEST(UnicodeTest, NamesBeyondTheCodePagePassListEditAndLaunchUnchanged)
{
    ASSERT_EQ(::GetACP(), UINT(CP_UTF8)) << "the manifest asks for UTF-8";
    TestStore::Reset();
    ForgetRecordedLaunch();
    char temp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    const std::string target = "C:\\docs\\Łódź 東京 Ω.txt",
                      program = temp + std::string("Čeština 東\\rec.exe");
    ::CreateDirectoryA(program.substr(0, program.rfind('\\')).c_str(), nullptr);
    ASSERT_TRUE(::CopyFileA(RecorderProgram().c_str(), program.c_str(), FALSE));
    TestStore::AddApplication("z.exe", "C:\\z.exe", "Zeta");
    TestStore::AddAssignment("txt", "z.exe", 0);
    TestStore::AddAssignment("txt", "rec.exe", 1);
    // Expandable strings: an unchanged value written again would show in its type.
    const std::string values[][3] = { { "Applications\\rec.exe", "DisplayName", "Čapek Ωmega 東" },
        { "Applications\\rec.exe", "Path", program },
        { "Extensions\\txt\\rec.exe", "Parameters", "-f %1 Ω" } };
    for (const std::string* v : values)
        TestStore::SetRaw(
            v[0], v[1].c_str(), REG_EXPAND_SZ, v[2].c_str(), static_cast<DWORD>(v[2].size() + 1));
    std::vector<std::string> seen;
    UiScript script;
    script.ThenDo([&] { seen = ItemTexts(ChooserList()); });
    InEditDialog(script, [&] {
        for (int id : { IDC_NAME, IDC_PATH, IDC_PARAMETERS })
            seen.push_back(WindowText(::GetDlgItem(Over(), id)));
    });
    script.ThenDo([&] {
        for (const std::string* v : values)
            seen.push_back(std::to_string(TestStore::GetRaw(v[0], v[1].c_str())->type));
    });
    InEditDialog(script, [] { ::SetDlgItemTextA(Over(), IDC_NAME, "Żółw 亀"); });
    script.ThenDo([] { PostCommand(ChooserWindow(), IDOK); });
    EXPECT_EQ(RunChooser(target), IDOK);
    EXPECT_EQ(seen,
        (std::vector<std::string> {
            values[0][2], "Zeta", values[0][2], program, values[2][2], "2", "2", "2" }));
    std::optional<TestStore::RawValue> name = TestStore::GetRaw(values[0][0], "DisplayName");
    EXPECT_EQ(std::string(name->bytes.begin(), name->bytes.end()), std::string("Żółw 亀") + '\0');
    EXPECT_EQ(RecordedLaunch(), Quoted(program) + " -f " + target + " Ω");
}

TEST(UnicodeTest, EditFieldsRefuseTextsLongerThan259Bytes)
{
    TestStore::Reset();
    TestStore::AddApplication("a.exe", "C:\\a.exe", "A");
    TestStore::AddAssignment("txt", "a.exe", 1);
    // A text set as browse sets it, then typed at its end (nullptr: the "%1" button), and its bytes after.
    const std::tuple<int, std::string, const char*, size_t> cases[] = { { IDC_NAME, Times(130, "Ω"), "", 1 },
        { IDC_NAME, Times(129, "Ω"), "x", 259 }, { IDC_NAME, Times(129, "Ω"), "xy", 258 },
        { IDC_PATH, Times(86, "東") + "x", "東", 259 }, { IDC_PARAMETERS, Times(64, "😀"), "xyz", 259 },
        { IDC_PARAMETERS, Times(64, "😀"), "😀", 256 }, { IDC_PARAMETERS, Times(127, "Ω") + "x", nullptr, 259 },
        { IDC_PARAMETERS, Times(128, "Ω"), nullptr, 256 } };
    UiScript script;
    InEditDialog(
        script,
        [&] {
            for (const auto& [id, set, typed, bytes] : cases) {
                ::SetDlgItemTextA(Over(), id, set.c_str());
                ::SendDlgItemMessageA(Over(), id, EM_SETSEL, MAX_PATH, MAX_PATH);
                if (typed)
                    ::SendDlgItemMessageA(Over(), id, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(typed));
                else
                    ::SendMessageA(Over(), WM_COMMAND, IDC_INSERT_FILE, 0);
                EXPECT_EQ(WindowText(::GetDlgItem(Over(), id)).size(), bytes)
                    << set << " + " << (typed ? typed : "%1");
            }
        },
        IDCANCEL);
    script.ThenDo([] { PostCommand(ChooserWindow(), IDCANCEL); });
    RunChooser("C:\\a.txt");
}

TEST(UnicodeTest, TheKeyboardMenuOpensAtTheSelectedIconOrTheListCorner)
{
    TestStore::Reset();
    TestStore::AddApplication("a.exe", "C:\\a.exe", "A");
    TestStore::AddAssignment("txt", "a.exe", 1);
    UiScript script;
    CheckKeyboardMenu(script, { ID_OPEN, 0, MF_CHECKED, 0, 0, 0 });
    script.ThenDo([] { SelectItem(ChooserList(), -1); });
    CheckKeyboardMenu(script, { ID_OPEN, MF_GRAYED, MF_GRAYED, 0, MF_GRAYED, MF_GRAYED });
    script.ThenDo([] { PostCommand(ChooserWindow(), IDCANCEL); });
    RunChooser("C:\\a.txt");
}
