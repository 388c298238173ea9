// A menu the program loads, shows as a popup and destroys.
#pragma once
#include <windows.h>

class CWnd;

class CMenu
{
public:
    CMenu() = default;
    ~CMenu() { DestroyMenu(); }
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    BOOL Attach(HMENU menu)
    {
        m_hMenu = menu;
        return menu != nullptr;
    }
    HMENU GetSafeHmenu() const { return m_hMenu; }
    BOOL DestroyMenu()
    {
        HMENU menu = m_hMenu;
        m_hMenu = nullptr;
        if (!menu)
            return FALSE;
        return ::DestroyMenu(menu);
    }
    // The popup at a position, which stays owned by this menu.
    HMENU GetSubMenu(int position) const { return ::GetSubMenu(m_hMenu, position); }

    static UINT EnableMenuItem(HMENU menu, UINT id, UINT enable)
    {
        return ::EnableMenuItem(menu, id, enable);
    }
    static BOOL SetDefaultItem(HMENU menu, UINT id, BOOL byPosition)
    {
        return ::SetMenuDefaultItem(menu, id, byPosition);
    }
    static DWORD CheckMenuItem(HMENU menu, UINT id, UINT check) { return ::CheckMenuItem(menu, id, check); }
    static BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner)
    {
        return ::TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr);
    }

private:
    HMENU m_hMenu = nullptr;
};
