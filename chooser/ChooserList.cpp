// Filling the chooser's list from the store: names, default flags, icons and order.
#include "ZelvantoDlg.h"

#include "CImageList.h"
#include "resource.h"
#include "store/StoreKey.h"
#include "store/StorePaths.h"

#include <shellapi.h>

static const DWORD kValueCapacity = MAX_PATH;
static const int kIconSize = 32;

void CZelvantoDlg::LoadList()
{
    m_appList.DeleteAllItems();
    m_entries.clear();
    CStoreKey extension;
    if (extension.Open(ExtensionRecordPath(m_extension), KEY_READ) != ERROR_SUCCESS)
        return;
    // Drawn once when complete: a list redrawn on every insertion grows slower with every item.
    m_appList.SetRedraw(FALSE);
    CString appKey;
    for (DWORD index = 0; extension.EnumSubkey(index, appKey) == ERROR_SUCCESS; ++index) {
        bool isDefault = false;
        CStoreKey assignment;
        if (assignment.Open(AssignmentRecordPath(m_extension, appKey), KEY_READ) == ERROR_SUCCESS) {
            DWORD value = 0;
            isDefault = assignment.ReadDword("Default", value) == ERROR_SUCCESS && value == 1;
            assignment.Close();
        }
        CStoreKey application;
        if (application.Open(ApplicationRecordPath(appKey), KEY_READ) != ERROR_SUCCESS)
            continue;
        char displayName[kValueCapacity];
        DWORD length = 0;
        if (application.ReadString("DisplayName", displayName, kValueCapacity, length) != ERROR_SUCCESS)
            continue;
        int position = m_appList.InsertItem(static_cast<int>(index), displayName);
        if (isDefault)
            m_appList.SetItemState(position, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        m_entries.push_back(std::make_unique<ListEntry>(ListEntry { appKey, isDefault }));
        m_appList.SetItemData(position, reinterpret_cast<DWORD_PTR>(m_entries.back().get()));
    }
    extension.Close();
    LoadIcons();
    SortList();
    m_appList.SetRedraw(TRUE);
    m_appList.Invalidate();
}

// The icon the shell shows for the application's executable, or none.
static HICON ApplicationIcon(LPCSTR appKey)
{
    CStoreKey application;
    if (application.Open(ApplicationRecordPath(appKey), KEY_READ) != ERROR_SUCCESS)
        return nullptr;
    char path[kValueCapacity];
    DWORD length = 0;
    if (application.ReadString("Path", path, kValueCapacity, length) != ERROR_SUCCESS)
        return nullptr;
    // A failed call may leave a handle behind (Wine does for a missing file): only success counts.
    SHFILEINFOA info = {};
    if (!::SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_ICON))
        return nullptr;
    return info.hIcon;
}

void CZelvantoDlg::LoadIcons()
{
    CImageList images;
    images.Create(kIconSize, kIconSize, ILC_COLOR32 | ILC_MASK, m_appList.GetItemCount(), 0);
    for (int i = 0; i < m_appList.GetItemCount(); ++i) {
        const ListEntry* entry = reinterpret_cast<const ListEntry*>(m_appList.GetItemData(i));
        HICON icon = ApplicationIcon(entry->appKey);
        if (!icon)
            icon = ::LoadIconW(AfxFindResourceHandle(MAKEINTRESOURCE(IDI_FALLBACK), RT_GROUP_ICON),
                MAKEINTRESOURCEW(IDI_FALLBACK));
        images.Add(icon);
        ::DestroyIcon(icon);
    }
    // The list owns the image list it holds; the one it gave back is no longer shown.
    HIMAGELIST previous = m_appList.SetImageList(images.Detach(), LVSIL_NORMAL);
    if (previous)
        ::ImageList_Destroy(previous);
    for (int i = 0; i < m_appList.GetItemCount(); ++i)
        m_appList.SetItemImage(i, i);
}

void CZelvantoDlg::SortList()
{
    m_appList.Arrange(LVA_DEFAULT);
    m_appList.SortItemsEx(CompareItemNames, reinterpret_cast<DWORD_PTR>(&m_appList));
}

// Orders two items by their texts as the sorted list view places them on insertion.
int CALLBACK CZelvantoDlg::CompareItemNames(LPARAM first, LPARAM second, LPARAM list)
{
    const CListCtrl* appList = reinterpret_cast<const CListCtrl*>(list);
    CString firstName = appList->GetItemText(static_cast<int>(first), 0);
    CString secondName = appList->GetItemText(static_cast<int>(second), 0);
    return ::lstrcmpiA(firstName, secondName);
}
