// Filling the chooser's list from the store: names, default flags and order at once, icons as they come.
#include "ZelvantoDlg.h"

#include "CImageList.h"
#include "resource.h"
#include "store/StoreKey.h"
#include "store/StorePaths.h"

static const DWORD kValueCapacity = MAX_PATH;

void CZelvantoDlg::LoadList()
{
    // No icon of an earlier load may reach an item of this one.
    m_iconLoader.Cancel();
    m_pendingIcons.clear();
    m_imageOfShellIndex.clear();
    m_appList.DeleteAllItems();
    m_entries.clear();
    CStoreKey extension;
    if (extension.Open(ExtensionRecordPath(m_extension), KEY_READ) != ERROR_SUCCESS)
        return;
    // Drawn once when complete: a list redrawn on every insertion grows slower with every item. Sorted
    // once when complete too: the sorted list view sorts all its items again on every insertion.
    m_appList.SetRedraw(FALSE);
    m_appList.ModifyStyle(LVS_SORTASCENDING, 0);
    std::vector<IconLoader::Request> iconPaths;
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
        // The path is read while the record is open; its icon comes later.
        char path[kValueCapacity];
        bool hasPath = application.ReadString("Path", path, kValueCapacity, length) == ERROR_SUCCESS;
        iconPaths.push_back(hasPath ? IconLoader::Request(path) : std::nullopt);
        // No image until the item's own icon is there.
        int position = m_appList.InsertItem(static_cast<int>(index), displayName, I_IMAGENONE);
        if (isDefault)
            m_appList.SetItemState(position, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        m_entries.push_back(std::make_unique<ListEntry>(ListEntry { appKey, isDefault }));
        m_appList.SetItemData(position, reinterpret_cast<DWORD_PTR>(m_entries.back().get()));
    }
    extension.Close();
    m_appList.ModifyStyle(0, LVS_SORTASCENDING);
    NewImageList();
    SortList();
    m_appList.SetRedraw(TRUE);
    m_appList.Invalidate();
    m_pendingIcons = std::move(iconPaths);
    if (IsWindowVisible(m_hWnd))
        StartIcons();
}

void CZelvantoDlg::StartIcons()
{
    m_iconLoader.Start(std::move(m_pendingIcons), m_hWnd, WM_ICONS_READY);
    m_pendingIcons.clear();
}

// An empty image list at the system's large-icon size, filled as the icons come.
void CZelvantoDlg::NewImageList()
{
    CImageList images;
    images.Create(::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), ILC_COLOR32 | ILC_MASK,
        static_cast<int>(m_entries.size()), 0);
    // The list owns the image list it holds; the one it gave back is no longer shown.
    CImageList previous;
    previous.Attach(m_appList.SetImageList(images.Detach(), LVSIL_NORMAL));
}

static int AddFallbackIcon(HIMAGELIST images)
{
    HICON icon = ::LoadIconW(
        AfxFindResourceHandle(MAKEINTRESOURCE(IDI_FALLBACK), RT_GROUP_ICON), MAKEINTRESOURCEW(IDI_FALLBACK));
    int image = ::ImageList_ReplaceIcon(images, -1, icon);
    ::DestroyIcon(icon);
    return image;
}

// Each finished icon goes to the item of its own entry, wherever the sort has put that item. The image list
// keeps a copy of an icon it takes, and an icon of an index that has its image already is not needed.
LRESULT CZelvantoDlg::OnIconsReady(WPARAM, LPARAM)
{
    HIMAGELIST images = m_appList.GetImageList(LVSIL_NORMAL);
    for (const IconLoader::Finished& finished : m_iconLoader.Take()) {
        LVFINDINFOA find = {};
        find.flags = LVFI_PARAM;
        find.lParam = reinterpret_cast<LPARAM>(m_entries[finished.request].get());
        m_appList.SetItemImage(m_appList.FindItem(&find), ImageOf(finished, images));
        if (finished.icon)
            ::DestroyIcon(finished.icon);
    }
    return 0;
}

// Items whose files share the shell's image share one image here, which is added with the first of them
// (the other worker may have made the same icon). No icon, or one the image list cannot take, gives the
// fallback icon.
int CZelvantoDlg::ImageOf(const IconLoader::Finished& finished, HIMAGELIST images)
{
    auto added = m_imageOfShellIndex.find(finished.shellIndex);
    if (added != m_imageOfShellIndex.end())
        return added->second;
    int image = finished.icon ? ::ImageList_ReplaceIcon(images, -1, finished.icon) : -1;
    if (image < 0)
        image = AddFallbackIcon(images);
    return m_imageOfShellIndex[finished.shellIndex] = image;
}

void CZelvantoDlg::SortList()
{
    // Sorted first, so the arrangement follows the order.
    m_appList.SortItemsEx(CompareItemNames, reinterpret_cast<DWORD_PTR>(&m_appList));
    m_appList.Arrange(LVA_DEFAULT);
}

// Orders two items by their texts as the sorted list view places them on insertion.
int CALLBACK CZelvantoDlg::CompareItemNames(LPARAM first, LPARAM second, LPARAM list)
{
    const CListCtrl* appList = reinterpret_cast<const CListCtrl*>(list);
    CString firstName = appList->GetItemText(static_cast<int>(first), 0);
    CString secondName = appList->GetItemText(static_cast<int>(second), 0);
    return ::lstrcmpiA(firstName, secondName);
}
