#include "support/BoxCatcher.h"

#include <algorithm>

static BoxCatcher* g_catcher = nullptr;

// The static control of a message box that holds its text.
static const int kMessageTextId = 0xFFFF;
// Windows numbers the icon 0x14, Wine 0x440.
static const int kMessageIconIds[] = { 0x14, 0x440 };

std::string WindowText(HWND window)
{
    std::string text(::GetWindowTextLengthA(window) + 1, '\0');
    int length = ::GetWindowTextA(window, &text[0], static_cast<int>(text.size()));
    text.resize(length);
    return text;
}

BoxCatcher::BoxCatcher(int answer)
    : m_hook(::SetWindowsHookExA(WH_CBT, Hook, nullptr, ::GetCurrentThreadId()))
    , m_answer(answer)
{
    g_catcher = this;
}

BoxCatcher::~BoxCatcher()
{
    ::UnhookWindowsHookEx(m_hook);
    g_catcher = nullptr;
}

bool BoxCatcher::IsMessageBox(HWND window)
{
    char className[16] = "";
    ::GetClassNameA(window, className, sizeof className);
    return lstrcmpA(className, "#32770") == 0 && ::GetDlgItem(window, kMessageTextId);
}

LRESULT CALLBACK BoxCatcher::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && g_catcher && IsMessageBox(reinterpret_cast<HWND>(wParam)))
        g_catcher->Catch(reinterpret_cast<HWND>(wParam));
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

static BOOL CALLBACK AddButton(HWND child, LPARAM lParam)
{
    char className[16] = "";
    ::GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Button") == 0 && (::GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE))
        reinterpret_cast<std::vector<int>*>(lParam)->push_back(::GetDlgCtrlID(child));
    return TRUE;
}

void BoxCatcher::Catch(HWND box)
{
    // Focus coming back to a box activates it again: it is still the same box.
    if (box == m_lastBox)
        return;
    m_lastBox = box;
    CaughtBox caught;
    caught.caption = WindowText(box);
    caught.text = WindowText(::GetDlgItem(box, kMessageTextId));
    ::EnumChildWindows(box, AddButton, reinterpret_cast<LPARAM>(&caught.buttons));
    for (int id : kMessageIconIds) {
        HWND icon = ::GetDlgItem(box, id);
        if (icon && (::GetWindowLongA(icon, GWL_STYLE) & WS_VISIBLE))
            caught.icon = reinterpret_cast<HICON>(::SendMessageA(icon, STM_GETICON, 0, 0));
    }
    caught.hasIcon = caught.icon != nullptr;
    caught.owner = ::GetWindow(box, GW_OWNER);
    m_boxes.push_back(caught);
    // A box without the wanted button is answered with its first one.
    int answer = m_answer;
    if (std::find(caught.buttons.begin(), caught.buttons.end(), answer) == caught.buttons.end()
        && !caught.buttons.empty())
        answer = caught.buttons.front();
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
}
