#include "support/BoxCatcher.h"

static BoxCatcher* g_catcher = nullptr;
// The static control of a message box that holds its text; Windows numbers the icon 0x14, Wine 0x440.
static const int kMessageTextId = 0xFFFF;
static const int kMessageIconIds[] = { 0x14, 0x440 };

std::string WindowText(HWND window)
{
    std::string text(::GetWindowTextLengthA(window) + 1, '\0');
    text.resize(::GetWindowTextA(window, &text[0], static_cast<int>(text.size())));
    return text;
}

BoxCatcher::BoxCatcher()
    : m_hook(::SetWindowsHookExA(WH_CBT, Hook, nullptr, ::GetCurrentThreadId()))
{
    g_catcher = this;
}

BoxCatcher::~BoxCatcher()
{
    ::UnhookWindowsHookEx(m_hook);
    g_catcher = nullptr;
}

std::vector<std::string> BoxCatcher::Take()
{
    std::vector<std::string> texts;
    for (const CaughtBox& box : m_boxes)
        texts.push_back(box.text);
    m_boxes.clear();
    return texts;
}

LRESULT CALLBACK BoxCatcher::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    HWND box = reinterpret_cast<HWND>(wParam);
    // Focus coming back to a box activates it again: it is still the same box.
    if (code == HCBT_ACTIVATE && g_catcher && ::GetDlgItem(box, kMessageTextId)
        && box != g_catcher->m_lastBox) {
        g_catcher->m_lastBox = box;
        CaughtBox caught { WindowText(box), WindowText(::GetDlgItem(box, kMessageTextId)) };
        for (int id : kMessageIconIds) {
            if (::GetWindowLongA(::GetDlgItem(box, id), GWL_STYLE) & WS_VISIBLE)
                caught.icon = reinterpret_cast<HICON>(::SendDlgItemMessageA(box, id, STM_GETICON, 0, 0));
        }
        caught.owner = ::GetWindow(box, GW_OWNER);
        g_catcher->m_boxes.push_back(caught);
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
