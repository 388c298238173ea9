// Names that code page 1252 cannot hold, end to end; the edit fields' limit in bytes; the keyboard's menu.
#include "support/BoxCatcher.h"
#include "support/ChooserRun.h"
#include "support/TestStore.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace
{

// The edit dialog or the context menu, whichever this thread shows over the chooser.
HWND Over()
{
    HWND found = nullptr;
    WNDENUMPROC note = [](HWND window, LPARAM found) -> BOOL {
        if (::IsWindowVisible(window) && window != ChooserWindow())
            *reinterpret_cast<HWND*>(found) = window;
        return TRUE;
    };
    ::EnumThreadWindows(::GetCurrentThreadId(), note, reinterpret_cast<LPARAM>(&found));
    return found;
}

void InEditDialog(UiScript& script, const std::function<void()>& action)
{
    script.ThenDo([] { PostCommand(ChooserWindow(), ID_EDIT); }).Then([] { return Over() != nullptr; });
    script.ThenDo(action).ThenDo([] { PostCommand(Over(), IDOK); }).Then([] { return Over() == nullptr; });
}

// Asks for the menu as Shift+F10 does; it opens at the selected icon's centre or at the list's corner.
void CheckKeyboardMenu(UiScript& script, const std::vector<LONG>& expected)
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
        HMENU items = reinterpret_cast<HMENU>(::SendMessageA(Over(), MN_GETHMENU, 0, 0));
        std::vector<LONG> seen = { menu.left - at.x, menu.top - at.y };
        for (UINT id : { ID_OPEN, ID_DEFAULT, ID_ADD, ID_EDIT, ID_REMOVE })
            seen.push_back(::GetMenuState(items, id, MF_BYCOMMAND) & (MFS_DEFAULT | MF_GRAYED | MF_CHECKED));
        EXPECT_EQ(seen, expected);
        return ::PostMessageA(Over(), WM_KEYDOWN, VK_ESCAPE, 0) != FALSE;
    });
}

// A store with one default application, and the chooser on a txt file, closed after the script's steps.
void RunOnOne(UiScript& script)
{
    TestStore::Reset();
    TestStore::AddApplication("a.exe", "C:\\a.exe", "A");
    TestStore::AddAssignment("txt", "a.exe", 1);
    script.ThenDo([] { PostCommand(ChooserWindow(), IDCANCEL); });
    RunChooser("C:\\a.txt");
}

} // namespace

TEST(UnicodeTest, NamesBeyondTheCodePagePassListEditAndLaunchUnchanged)
{
    TestStore::Reset();
    ForgetRecordedLaunch();
    const std::string target = "C:\\docs\\Łódź 東京 Ω.txt";
    const std::string program
        = RecorderProgram().substr(0, RecorderProgram().rfind('\\')) + "\\Čeština 東.exe";
    ASSERT_TRUE(::CopyFileA(RecorderProgram().c_str(), program.c_str(), FALSE));
    TestStore::AddApplication("rec.exe", "", "Čapek Ωmega 東");
    // Expandable: written again unchanged, it would turn into a plain string.
    TestStore::SetRaw(
        "Applications\\rec.exe", "Path", REG_EXPAND_SZ, program.c_str(), DWORD(program.size() + 1));
    TestStore::SetString("Extensions\\txt\\rec.exe", "Parameters", "-f %1 Ω");
    TestStore::AddAssignment("txt", "rec.exe", 1);
    std::vector<std::string> seen;
    UiScript script;
    script.ThenDo([&] { seen = ItemTexts(ChooserList()); });
    InEditDialog(script, [&] {
        for (int id : { IDC_NAME, IDC_PATH, IDC_PARAMETERS })
            seen.push_back(WindowText(::GetDlgItem(Over(), id)));
    });
    script.ThenDo(
        [&] { seen.push_back(std::to_string(TestStore::GetRaw("Applications\\rec.exe", "Path")->type)); });
    InEditDialog(script, [] { ::SetDlgItemTextA(Over(), IDC_NAME, "Żółw 亀"); });
    script.ThenDo([] { PostCommand(ChooserWindow(), IDOK); });
    EXPECT_EQ(RunChooser(target), IDOK);
    EXPECT_EQ(
        seen, (std::vector<std::string> { "Čapek Ωmega 東", "Čapek Ωmega 東", program, "-f %1 Ω", "2" }));
    std::vector<BYTE> renamed = TestStore::GetRaw("Applications\\rec.exe", "DisplayName")->bytes;
    EXPECT_EQ(std::string(renamed.begin(), renamed.end()), std::string("Żółw 亀") + '\0');
    EXPECT_EQ(RecordedLaunch(), Quoted(program) + " -f " + target + " Ω");
}

TEST(UnicodeTest, EditFieldsRefuseTextsLongerThan259Bytes)
{
    // A text set as browse sets it, then typed at its end (nullptr: the "%1" button), and its bytes after.
    auto x = [](size_t count) { return std::string(count, 'x'); };
    const std::tuple<int, std::string, const char*, size_t> cases[] = { { IDC_NAME, "Ω" + x(258), "", 1 },
        { IDC_NAME, x(257), "Ω", 259 }, { IDC_NAME, x(258), "Ω", 258 }, { IDC_PATH, x(255), "😀", 259 },
        { IDC_PATH, x(256), "😀", 256 }, { IDC_PARAMETERS, "東" + x(252), nullptr, 259 },
        { IDC_PARAMETERS, "東" + x(253), nullptr, 256 } };
    UiScript script;
    InEditDialog(script, [&] {
        for (const auto& [id, set, typed, bytes] : cases) {
            ::SetDlgItemTextA(Over(), id, set.c_str());
            ::SendMessageA(typed ? ::GetDlgItem(Over(), id) : Over(), typed ? EM_REPLACESEL : WM_COMMAND,
                typed ? TRUE : IDC_INSERT_FILE, reinterpret_cast<LPARAM>(typed));
            EXPECT_EQ(WindowText(::GetDlgItem(Over(), id)).size(), bytes) << id << (typed ? typed : " %1");
        }
    });
    RunOnOne(script);
}

TEST(UnicodeTest, TheKeyboardMenuOpensAtTheSelectedIconOrTheListCorner)
{
    UiScript script;
    CheckKeyboardMenu(script, { 0, 0, MFS_DEFAULT, MF_CHECKED, 0, 0, 0 });
    script.ThenDo([] { SelectItem(ChooserList(), -1); });
    CheckKeyboardMenu(script, { 0, 0, MFS_DEFAULT | MF_GRAYED, MF_GRAYED, 0, MF_GRAYED, MF_GRAYED });
    RunOnOne(script);
}
