// Runs the real chooser modally, with steps inside its message loop as a user would act, and looks at it.
#pragma once
#include "app/ZelvantoApp.h"
#include "chooser/ZelvantoDlg.h"
#include "resource.h"
#include "support/TestStore.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>

// A step answers true when done; false has it tried again on the next tick.
using Step = std::function<bool()>;
using Steps = std::vector<Step>;
inline Steps operator+(Steps first, const Steps& then)
{
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

inline std::string WindowText(HWND window)
{
    char text[2048] = "";
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

// The chooser with its store operations open, and the place it took before a window manager could move it.
class TestChooser : public CZelvantoDlg
{
public:
    using CZelvantoDlg::AddAssignment;
    using CZelvantoDlg::CZelvantoDlg;
    using CZelvantoDlg::LoadList;
    using CZelvantoDlg::RemoveAssignment;
    BOOL OnInitDialog() override;
    RECT initialRect = {};
};

struct Chooser {
    static inline TestChooser* running = nullptr;
    static inline Steps steps;
    static HWND Window() { return running ? running->m_hWnd : nullptr; }
    static HWND List() { return ::GetDlgItem(Window(), IDC_APP_LIST); }
    static HIMAGELIST Images() { return ListView_GetImageList(List(), LVSIL_NORMAL); }
    static Step Do(std::function<void()> action)
    {
        return [action] {
            action();
            return true;
        };
    }
    static void Post(HWND window, int id) { ::PostMessageA(window, WM_COMMAND, id, 0); }
    // Selects the item (-2: leaves the selection) and gives the chooser the command.
    static Step Command(int id, int item = -2)
    {
        return Do([id, item] {
            if (item > -2)
                Select(item);
            Post(Window(), id);
        });
    }
    // A step may open a modal window of its own; the ticks inside it must not run the next step.
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        static bool busy = false;
        if (busy || steps.empty())
            return;
        busy = true;
        if (steps.front()() && !steps.empty())
            steps.erase(steps.begin());
        busy = false;
    }
    // Runs the steps one per timer tick inside whatever modal loop runs, then Cancel if still open.
    static INT_PTR Run(const std::string& target, Steps run = {})
    {
        steps = run + Steps { Do([] { Post(Window(), IDCANCEL); }) };
        UINT_PTR timer = ::SetTimer(nullptr, 0, 20, Tick);
        TestChooser dialog(target.c_str());
        theApp.m_pMainWnd = &dialog;
        INT_PTR result = dialog.DoModal();
        ::KillTimer(nullptr, timer);
        EXPECT_LE(steps.size(), 1u) << "steps left undone";
        theApp.m_pMainWnd = nullptr;
        running = nullptr;
        return result;
    }
    // A text buffer holds a name of 259 characters of three bytes each.
    static LVITEMA Item(int index, char* text = nullptr)
    {
        LVITEMA item = { LVIF_IMAGE | LVIF_TEXT, index, 0, 0, 0, text, 1024, 0, 0, 0, 0, 0, 0, 0, 0 };
        ::SendMessageA(List(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return item;
    }
    static int Count() { return ListView_GetItemCount(List()); }
    static std::vector<std::string> Items()
    {
        std::vector<std::string> texts;
        char text[1024] = "";
        for (int i = 0; i < Count(); ++i)
            texts.push_back(Item(i, text).pszText);
        return texts;
    }
    static int Selected() { return ListView_GetNextItem(List(), -1, LVNI_SELECTED); }
    static void Select(int item)
    {
        UINT state = item < 0 ? 0 : LVIS_SELECTED | LVIS_FOCUSED;
        ListView_SetItemState(List(), item, state, LVIS_SELECTED | LVIS_FOCUSED);
    }
};

inline BOOL TestChooser::OnInitDialog()
{
    Chooser::running = this;
    BOOL focus = CZelvantoDlg::OnInitDialog();
    ::GetWindowRect(m_hWnd, &initialRect);
    return focus;
}

// Catches the message boxes shown while it lives and answers them with OK.
class BoxCatcher
{
public:
    BoxCatcher() { catcher = this; }
    ~BoxCatcher() { ::UnhookWindowsHookEx(m_hook); }
    std::vector<std::string> Take() { return std::exchange(m_boxes, {}); } // the boxes since the last call

private:
    // A box as "caption|text|icon"; its controls numbered as Windows and Wine number them.
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        HWND box = reinterpret_cast<HWND>(wParam);
        HWND text = ::GetDlgItem(box, 0xFFFF);
        if (code == HCBT_ACTIVATE && text && ::IsWindowEnabled(box) && !::GetPropA(box, "caught")) {
            ::SetPropA(box, "caught", box);
            catcher->m_boxes.push_back(WindowText(box) + "|" + WindowText(text) + "|" + IconKind(box));
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    // "!" for the exclamation mark, "i" for information, "?" for another icon or none.
    static const char* IconKind(HWND box)
    {
        HWND icon = ::GetDlgItem(box, ::GetDlgItem(box, 0x14) ? 0x14 : 0x440);
        LRESULT image
            = ::GetWindowLongA(icon, GWL_STYLE) & WS_VISIBLE ? ::SendMessageA(icon, STM_GETICON, 0, 0) : 0;
        if (image == (LRESULT)::LoadIconA(nullptr, IDI_EXCLAMATION))
            return "!";
        return image == (LRESULT)::LoadIconA(nullptr, IDI_INFORMATION) ? "i" : "?";
    }
    static inline BoxCatcher* catcher = nullptr;
    HHOOK m_hook = ::SetWindowsHookExA(WH_CBT, Hook, nullptr, ::GetCurrentThreadId());
    std::vector<std::string> m_boxes;
};

// A test of the chooser in a store of its own, catching the boxes; it must leave no key open, no menu loaded.
struct ChooserFixture : ::testing::Test {
    void SetUp() override { TestStore::Reset(); }
    void TearDown() override
    {
        EXPECT_EQ(Live().keys, 0) << "keys left open";
        EXPECT_EQ(Live().menus, 0) << "menus left loaded";
    }
    BoxCatcher boxes;
};

inline std::string Loaded(UINT id)
{
    CString text;
    text.LoadString(id);
    return std::string(text);
}

// An error box as the catcher tells it, and the box of a store error.
inline std::string ErrorBox(const std::string& text)
{
    return AfxGetApp()->m_pszAppName + ("|" + text + "|!");
}
inline std::string StoreMessage(UINT id, const std::string& relativePath)
{
    return ErrorBox(Loaded(id) + ":\n" + TestStore::Full(relativePath));
}
