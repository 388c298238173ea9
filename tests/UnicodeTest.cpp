// Names that code page 1252 cannot hold, end to end; the edit fields' limit in bytes; the keyboard's menu.
#include "support/ChooserRun.h"
#include "support/TestStore.h"

#include <gtest/gtest.h>

using C = Chooser;
using T = TestStore;

// The edit dialog or the context menu, whichever this thread shows over the chooser.
static HWND Over()
{
    HWND found = nullptr;
    WNDENUMPROC note = [](HWND window, LPARAM found) -> BOOL {
        if (::IsWindowVisible(window) && window != C::Window())
            *reinterpret_cast<HWND*>(found) = window;
        return TRUE;
    };
    ::EnumThreadWindows(::GetCurrentThreadId(), note, reinterpret_cast<LPARAM>(&found));
    return found;
}

static std::vector<Step> InEditDialog(const std::function<void()>& action)
{
    return { C::Do([] { C::Post(C::Window(), ID_EDIT); }), [] { return Over() != nullptr; }, C::Do(action),
        C::Do([] { C::Post(Over(), IDOK); }), [] { return Over() == nullptr; } };
}

// One default application, and the chooser on a txt file with the steps.
static void RunOnOne(std::vector<Step> steps)
{
    T::Reset(), T::AddApplication("a.exe", "C:\\a.exe", "A"), T::AddAssignment("txt", "a.exe", 1);
    C::Run("C:\\a.txt", steps);
}

TEST(UnicodeTest, NamesBeyondTheCodePagePassListEditAndLaunchUnchanged)
{
    T::Reset();
    const std::string target = "C:\\docs\\Łódź 東京 Ω.txt";
    const std::string program = C::Recorder().substr(0, C::Recorder().rfind('\\')) + "\\Čeština 東.exe";
    ASSERT_TRUE(::CopyFileA(C::Recorder().c_str(), program.c_str(), FALSE));
    T::AddApplication("rec.exe", "", "Čapek Ωmega 東");
    // Expandable: written again unchanged, it would turn into a plain string.
    T::SetRaw("Applications\\rec.exe", "Path", REG_EXPAND_SZ, program + '\0');
    T::SetString("Extensions\\txt\\rec.exe", "Parameters", "-f %1 Ω");
    T::SetDword("Extensions\\txt\\rec.exe", "Default", 1);
    std::vector<std::string> seen;
    std::vector<Step> steps = { C::Do([&] { seen = C::Items(); }) };
    for (const auto& part : { InEditDialog([&] {
                                 for (int id : { IDC_NAME, IDC_PATH, IDC_PARAMETERS })
                                     seen.push_back(WindowText(::GetDlgItem(Over(), id)));
                             }),
             { C::Do([&] { seen.push_back(T::Get("Applications\\rec.exe", "Path")); }) },
             InEditDialog([] { ::SetDlgItemTextA(Over(), IDC_NAME, "Żółw 亀"); }),
             { C::Do([] { C::Post(C::Window(), IDOK); }) } })
        steps.insert(steps.end(), part.begin(), part.end());
    C::ExpectLaunch();
    EXPECT_EQ(C::Run(target, steps), IDOK);
    EXPECT_EQ(seen,
        (std::vector<std::string> { "Čapek Ωmega 東", "Čapek Ωmega 東", program, "-f %1 Ω", "(type 2)" }));
    EXPECT_EQ(T::Get("Applications\\rec.exe", "DisplayName"), std::string("Żółw 亀") + '\0');
    EXPECT_EQ(C::Launched(), '"' + program + "\" -f " + target + " Ω");
}

TEST(UnicodeTest, EditFieldsRefuseTextsLongerThan259Bytes)
{
    // A text set as browse sets it, then typed at its end (nullptr: the "%1" button), and its bytes after.
    auto x = [](size_t count) { return std::string(count, 'x'); };
    const std::tuple<int, std::string, const char*, size_t> cases[] = { { IDC_NAME, "Ω" + x(258), "", 1 },
        { IDC_NAME, x(257), "Ω", 259 }, { IDC_NAME, x(258), "Ω", 258 }, { IDC_PATH, x(255), "😀", 259 },
        { IDC_PATH, x(256), "😀", 256 }, { IDC_PARAMETERS, "東" + x(252), nullptr, 259 },
        { IDC_PARAMETERS, "東" + x(253), nullptr, 256 } };
    RunOnOne(InEditDialog([&] {
        for (const auto& [id, set, typed, bytes] : cases) {
            ::SetDlgItemTextA(Over(), id, set.c_str());
            ::SendMessageA(typed ? ::GetDlgItem(Over(), id) : Over(), typed ? EM_REPLACESEL : WM_COMMAND,
                typed ? TRUE : IDC_INSERT_FILE, reinterpret_cast<LPARAM>(typed));
            EXPECT_EQ(WindowText(::GetDlgItem(Over(), id)).size(), bytes) << id << (typed ? typed : " %1");
        }
    }));
}

// Asks for the menu as Shift+F10 does: it opens at the selected icon's centre, or at the list's corner.
static std::vector<Step> KeyboardMenuOpensAtTheSelection()
{
    return { C::Do([] { ::PostMessageA(C::Window(), WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1)); }), [] {
                RECT menu = {}, icon = { LVIR_ICON, 0, 0, 0 };
                POINT at = { 0, 0 };
                if (!::GetWindowRect(Over(), &menu))
                    return false;
                if (::SendMessageA(C::List(), LVM_GETITEMRECT, C::Selected(), (LPARAM)&icon))
                    at = { (icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2 };
                ::ClientToScreen(C::List(), &at);
                EXPECT_EQ(menu.left - at.x, 0) << C::Selected();
                EXPECT_EQ(menu.top - at.y, 0) << C::Selected();
                return ::PostMessageA(Over(), WM_KEYDOWN, VK_ESCAPE, 0) != FALSE;
            } };
}

TEST(UnicodeTest, TheKeyboardMenuOpensAtTheSelectedIconOrTheListCorner)
{
    std::vector<Step> steps = KeyboardMenuOpensAtTheSelection();
    steps.push_back(C::Do([] { C::Select(-1); }));
    for (const Step& step : KeyboardMenuOpensAtTheSelection())
        steps.push_back(step);
    RunOnOne(steps);
}
