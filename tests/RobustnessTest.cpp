// Many commands in one process: nothing the program holds may grow with their number.
#include "LiveCounts.h"
#include "store/StoreKey.h"
#include "support/BoxCatcher.h"
#include "support/ChooserRun.h"
#include "support/TestStore.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace
{

const int kCycles = 1000;

// Confirms every edit dialog at once, with a name that differs from the one shown.
class EditConfirmer
{
public:
    EditConfirmer()
        : m_hook(::SetWindowsHookExA(WH_CBT, Hook, nullptr, ::GetCurrentThreadId()))
    {
    }
    ~EditConfirmer() { ::UnhookWindowsHookEx(m_hook); }
    EditConfirmer(const EditConfirmer&) = delete;
    EditConfirmer& operator=(const EditConfirmer&) = delete;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_ACTIVATE && ::GetDlgItem(window, IDC_NAME)) {
            static int edits = 0;
            ::SetDlgItemTextA(window, IDC_NAME, ("Tool " + std::to_string(++edits)).c_str());
            ::PostMessageA(window, WM_COMMAND, IDOK, 0);
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    HHOOK m_hook;
};

struct Counts {
    int holders = CStoreKey::OpenCount();
    int icons = LiveCounts::icons;
    int imageLists = LiveCounts::imageLists;
    int menus = LiveCounts::menus;
    bool operator==(const Counts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Counts& counts)
{
    return out << "holders " << counts.holders << ", icons " << counts.icons << ", image lists "
               << counts.imageLists << ", menus " << counts.menus;
}

} // namespace

TEST(Robustness, NothingGrowsOverAThousandCycles)
{
    TestStore::Reset();
    TestStore::AddApplication("tool.exe", "C:\\Tools\\tool.exe", "Tool");
    TestStore::AddAssignment("txt", "tool.exe", 0);
    BoxCatcher boxes;
    EditConfirmer confirmer;
    Counts first;
    Counts last;
    int listedAtEnd = -1;
    UiScript script;
    script.ThenDo([&] {
        TestChooser& chooser = *RunningChooser();
        for (int cycle = 0; cycle < kCycles; ++cycle) {
            chooser.LoadList();
            SelectItem(ChooserList(), 0);
            chooser.OnDefault();
            chooser.OnEdit();
            chooser.AddAssignment("C:\\Tools\\extra.exe", "extra.exe", "Extra");
            chooser.LoadList();
            LVITEMA state = {};
            state.stateMask = state.state = LVIS_SELECTED;
            ::SendMessageA(ChooserList(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
            chooser.RemoveAssignment();
            if (cycle == 0)
                first = Counts();
        }
        chooser.LoadList();
        last = Counts();
        listedAtEnd = static_cast<int>(::SendMessageA(ChooserList(), LVM_GETITEMCOUNT, 0, 0));
    });
    // The context menu, loaded and destroyed a hundred times.
    for (int menu = 0; menu < 100; ++menu) {
        script.ThenDo([] {
            RECT list;
            ::GetWindowRect(ChooserList(), &list);
            ::PostMessageA(ChooserWindow(), WM_CONTEXTMENU, 0, MAKELPARAM(list.left + 5, list.top + 5));
        });
        script.ThenDo([] { ::EndMenu(); });
    }
    Counts afterMenus;
    script.ThenDo([&] { afterMenus = Counts(); });
    script.ThenDo([] { PostCommand(ChooserWindow(), IDCANCEL); });
    RunChooser("C:\\Docs\\a.txt");
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(last, first);
    EXPECT_EQ(afterMenus, first);
    EXPECT_EQ(first, (Counts { 0, 0, 1, 0 })) << "one image list, held by the list view";
    EXPECT_EQ(listedAtEnd, 1);
    std::optional<TestStore::RawValue> name = TestStore::GetRaw("Applications\\tool.exe", "DisplayName");
    ASSERT_TRUE(name);
    EXPECT_EQ(std::string(name->bytes.begin(), name->bytes.end()), "Tool " + std::to_string(kCycles) + '\0');
    EXPECT_EQ(TestStore::GetDword("Extensions\\txt\\tool.exe", "Default"), 0u)
        << "toggled an even number of times";
    EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes()[0].text;
    EXPECT_EQ(CStoreKey::OpenCount(), 0);
}
