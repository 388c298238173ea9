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

inline std::string WindowText(HWND window)
{
    char text[2048] = "";
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

inline void Assign(const std::string& appKey, const std::string& path, const char* name, DWORD isDefault = 0,
    const std::string& extension = "txt")
{
    TestStore::AddApplication(appKey, path, name);
    TestStore::AddAssignment(extension, appKey, isDefault);
}

// The chooser with its list's reload and Remove open.
class TestChooser : public CZelvantoDlg
{
public:
    using CZelvantoDlg::CZelvantoDlg;
    using CZelvantoDlg::LoadList;
    using CZelvantoDlg::RemoveAssignment;
};

struct Chooser {
    static inline TestChooser* running = nullptr;
    static inline Steps steps;
    static inline ULONGLONG due = 0;
    static HWND Window() { return theApp.m_pMainWnd ? theApp.m_pMainWnd->m_hWnd : nullptr; }
    static HWND List() { return ::GetDlgItem(Window(), IDC_APP_LIST); }
    static bool Shown() { return ::IsWindowVisible(Window()); }
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
    // Not inside a step's own modal window; a step waiting over 10 s fails, rather than holding the suite.
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        static bool busy = false;
        if (busy || steps.empty())
            return;
        busy = true;
        bool done = steps.front()();
        if ((done || ::GetTickCount64() > due) && !steps.empty()) {
            EXPECT_TRUE(done) << "a step waited in vain";
            steps.erase(steps.begin());
            due = ::GetTickCount64() + 10000;
        }
        busy = false;
    }
    // Runs the steps one per timer tick inside whatever modal loop runs, then Cancel if still open.
    static INT_PTR Run(const std::string& target, Steps run = {})
    {
        steps = run;
        steps.push_back(Do([] { Post(Window(), IDCANCEL); }));
        due = ::GetTickCount64() + 10000;
        UINT_PTR timer = ::SetTimer(nullptr, 0, 20, Tick);
        TestChooser dialog(target.c_str());
        running = &dialog;
        theApp.m_pMainWnd = &dialog;
        INT_PTR result = dialog.DoModal();
        ::KillTimer(nullptr, timer);
        EXPECT_LE(steps.size(), 1u) << "steps left undone";
        theApp.m_pMainWnd = nullptr;
        running = nullptr;
        return result;
    }
    static int Selected() { return ListView_GetNextItem(List(), -1, LVNI_SELECTED); }
    static void Select(int item)
    {
        ListView_SetItemState(
            List(), item, item < 0 ? 0 : LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
};

// Catches the message boxes shown while it lives, as "caption|text", and answers them with OK.
class BoxCatcher
{
public:
    BoxCatcher() { catcher = this; }
    ~BoxCatcher() { ::UnhookWindowsHookEx(m_hook); }
    std::vector<std::string> Take() { return std::exchange(m_boxes, {}); } // the boxes since the last call
    HICON icon = nullptr; // the last box's

private:
    // A box's text is its control 0xFFFF, as Windows and Wine number it; its icon is Wine's stc1.
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        HWND box = reinterpret_cast<HWND>(wParam);
        HWND text = ::GetDlgItem(box, 0xFFFF);
        if (code == HCBT_ACTIVATE && text && ::IsWindowEnabled(box) && !::GetPropA(box, "caught")) {
            ::SetPropA(box, "caught", box);
            catcher->m_boxes.push_back(WindowText(box) + "|" + WindowText(text));
            catcher->icon = reinterpret_cast<HICON>(::SendDlgItemMessageA(box, stc1, STM_GETICON, 0, 0));
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline BoxCatcher* catcher = nullptr;
    HHOOK m_hook = ::SetWindowsHookExA(WH_CBT, Hook, nullptr, ::GetCurrentThreadId());
    std::vector<std::string> m_boxes;
};

inline std::string Loaded(UINT id)
{
    CString text;
    text.LoadString(id);
    return std::string(text);
}

// A box the program shows, as the catcher tells it: its caption is the program's name.
inline std::string Box(UINT id, const std::string& detail = "")
{
    return std::string(AfxGetApp()->m_pszAppName) + "|" + Loaded(id) + (detail.empty() ? "" : ":\n" + detail);
}
