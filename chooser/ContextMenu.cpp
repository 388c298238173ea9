// The context menu over the list, and the commands that only it and the click reach.
#include "ZelvantoDlg.h"

#include "CMenu.h"
#include "resource.h"
#include "store/associations/ProgramName.h"

void CZelvantoDlg::OnContextMenu(CWnd*, CPoint point)
{
    // Shift+F10 and the menu key ask without a point.
    if (point.x == -1 && point.y == -1)
        point = KeyboardMenuPoint();
    CRect listRect;
    m_appList.GetWindowRect(&listRect);
    if (!listRect.PtInRect(point))
        return;
    // Loaded afresh every time, so no enable or check state carries over.
    CMenu menu;
    menu.Attach(::LoadMenuW(
        AfxFindResourceHandle(MAKEINTRESOURCE(IDR_CONTEXT), RT_MENU), MAKEINTRESOURCEW(IDR_CONTEXT)));
    UINT selectedCount = m_appList.GetSelectedCount();
    HMENU popup = menu.GetSafeHmenu() ? menu.GetSubMenu(0) : nullptr;
    if (!popup)
        return;
    UINT enable = selectedCount == 1 ? MF_ENABLED : MF_GRAYED | MF_DISABLED;
    for (UINT id : { ID_OPEN, ID_DEFAULT, ID_EDIT, ID_REMOVE })
        CMenu::EnableMenuItem(popup, id, MF_BYCOMMAND | enable);
    CMenu::SetDefaultItem(popup, ID_OPEN, FALSE);
    FillKnownProgramsMenu(popup);
    const ListEntry* entry = SelectedEntry();
    CMenu::CheckMenuItem(
        popup, ID_DEFAULT, MF_BYCOMMAND | (entry && entry->isDefault ? MF_CHECKED : MF_UNCHECKED));
    CMenu::TrackPopupMenu(popup, TPM_RIGHTBUTTON, point.x, point.y, m_hWnd);
}

// Where a menu asked for from the keyboard opens: at the centre of the selected item's icon, brought into
// view, or with nothing selected at the top left corner of the list's client area.
CPoint CZelvantoDlg::KeyboardMenuPoint()
{
    CPoint point(0, 0);
    int selected = m_appList.GetNextItem(-1, LVNI_SELECTED);
    if (selected >= 0) {
        m_appList.EnsureVisible(selected, FALSE);
        CRect icon;
        m_appList.GetItemRect(selected, &icon, LVIR_ICON);
        point = icon.CenterPoint();
    }
    m_appList.ClientToScreen(&point);
    return point;
}

void CZelvantoDlg::OnClickList(NMHDR*, LRESULT* result)
{
    OnOK();
    *result = 0;
}

void CZelvantoDlg::OnOpen()
{
    OnOK();
}

void CZelvantoDlg::OnAdd()
{
    CString fullPath;
    CString fileName;
    CString fileTitle;
    if (!PickExecutable(fullPath, fileName, fileTitle))
        return;
    AddAndSelect({ fullPath, fileName, ProgramName(fullPath, fileTitle), "" });
}

void CZelvantoDlg::OnRemove()
{
    if (RemoveAssignment())
        LoadList();
}
