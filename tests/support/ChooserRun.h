// Runs the real chooser modally with steps inside its message loop, as a user would act, and looks at it:
// its list, the message boxes it shows, the launches it makes through the recorder helper.
#pragma once
#include "chooser/ZelvantoDlg.h"
#include "resource.h"

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

// A step answers true when done; false has it tried again on the next tick.
using Step = std::function<bool()>;

// The chooser with its store operations open to the test.
class TestChooser : public CZelvantoDlg
{
public:
    using CZelvantoDlg::AddAssignment, CZelvantoDlg::CZelvantoDlg, CZelvantoDlg::LoadList;
    using CZelvantoDlg::OnDefault, CZelvantoDlg::OnEdit, CZelvantoDlg::RemoveAssignment;
    BOOL OnInitDialog() override;
    // Where the chooser placed itself, before a window manager could move it.
    RECT initialRect = {};
};

struct Chooser {
    static inline TestChooser* running = nullptr;
    static HWND Window() { return running ? running->m_hWnd : nullptr; }
    static HWND List() { return ::GetDlgItem(Window(), IDC_APP_LIST); }
    static Step Do(std::function<void()> action)
    {
        return [action] { return action(), true; };
    }
    static void Post(HWND window, int id) { ::PostMessageA(window, WM_COMMAND, id, 0); }
    // Runs the steps one per timer tick inside whatever modal loop runs, then Cancel unless told otherwise.
    static INT_PTR Run(const std::string& target, std::vector<Step> steps = {}, bool cancel = true);
    static std::vector<std::string> Items();
    static int Count() { return static_cast<int>(::SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0)); }
    static int Selected()
    {
        return static_cast<int>(::SendMessageA(List(), LVM_GETNEXTITEM, -1, LVNI_SELECTED));
    }
    // As a click selects, or nothing for -1.
    static void Select(int item) { ListView_SetItemState(List(), item, item < 0 ? 0 : kSelected, kSelected); }
    static const UINT kSelected = LVIS_SELECTED | LVIS_FOCUSED;
    // An item's image index: I_IMAGENONE until its icon has come.
    static int Image(int item);
    // Whether every item shows its icon; waits until it does; then whether each is the fallback icon.
    static bool IconsShown();
    static bool WaitForIcons();
    static std::vector<bool> FallbackIcons();
    // The fresh record file only the next launch writes, and the command line the launch wrote there.
    static void ExpectLaunch();
    static std::string Launched();
    static std::string Recorder();
};

// Catches the message boxes shown while it lives and answers them with OK.
class BoxCatcher
{
public:
    struct Box {
        std::string caption, text;
        HICON icon;
        HWND owner;
    };
    BoxCatcher();
    ~BoxCatcher() { ::UnhookWindowsHookEx(m_hook); }
    const std::vector<Box>& Boxes() const { return m_boxes; }
    // The texts caught since the last call.
    std::vector<std::string> Take();

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK m_hook;
    std::vector<Box> m_boxes;
};

std::string WindowText(HWND window);
// A UTF-8 text in the code page the program works in.
std::string Ansi(const char* utf8);
// The text of a store error box.
std::string StoreMessage(UINT id, const std::string& relativePath);
bool PumpUntil(const Step& condition);
