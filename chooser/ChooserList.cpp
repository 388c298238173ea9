// Filling the chooser's list from the store: names, default flags and order at once, icons as they come.
#include "ZelvantoDlg.h"

#include "CImageList.h"
#include "resource.h"

void CZelvantoDlg::LoadList(LPCSTR selectAppKey)
{
    // No icon of an earlier load may reach an item of this one.
    m_iconLoader.Cancel();
    m_imageOfRequest.clear();
    m_appList.DeleteAllItems();
    m_entries.clear();
    std::vector<ListedApplication> applications = Store().List();
    // Read only for an empty list, so a start with applications never waits for Windows' associations.
    m_windowsKnowsPrograms = applications.empty() && !UnassignedKnownPrograms().empty();
    // Drawn once when complete: a list redrawn on every insertion grows slower with every item. Inserted in
    // order, where each item stays: the list's own sorted insertion would move items under their icons.
    m_appList.SetRedraw(FALSE);
    m_appList.ModifyStyle(LVS_SORTASCENDING, 0);
    for (const ListedApplication& application : applications) {
        int position = static_cast<int>(m_entries.size());
        // No image until the item's own icon is there.
        m_appList.InsertItem(position, application.displayName, I_IMAGENONE);
        bool selected
            = selectAppKey ? ::lstrcmpiA(application.entry.appKey, selectAppKey) == 0 : application.selected;
        if (selected)
            m_appList.SetItemState(position, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        m_entries.push_back(std::make_unique<ListEntry>(application.entry));
        m_appList.SetItemData(position, reinterpret_cast<DWORD_PTR>(m_entries.back().get()));
    }
    NewImageList();
    m_appList.Arrange(LVA_DEFAULT);
    m_appList.SetRedraw(TRUE);
    m_appList.Invalidate();
    StartIcons(applications);
    BringSelectionIntoView();
}

// Before the window is first shown: the files' own icons come quickly, and those the window takes before the
// list's first paint are drawn with it, where waiting for that paint put a second one between the names and
// the icons. Not before the items are made: the workers would take the cores the window needs to show them.
void CZelvantoDlg::StartIcons(const std::vector<ListedApplication>& applications)
{
    std::vector<IconLoader::Request> requests;
    for (const ListedApplication& application : applications)
        requests.push_back(application.iconPath);
    m_iconLoader.Start(std::move(requests), m_hWnd, WM_ICONS_READY);
}

// Enter starts the selected item: the user sees which. Brought into view before the list's first paint, which
// is then its only one: a scroll after it would paint the whole list again.
void CZelvantoDlg::BringSelectionIntoView()
{
    int selected = m_appList.GetNextItem(-1, LVNI_SELECTED);
    if (selected < 0)
        return;
    LayOutList();
    m_appList.EnsureVisible(selected, FALSE);
}

// The list places its items, and sets its scroll bars, only when it paints: painted once into a bitmap of one
// pixel, it knows where the selection stands.
void CZelvantoDlg::LayOutList()
{
    HDC screen = ::GetDC(m_appList.m_hWnd);
    HDC pixel = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 1, 1);
    HGDIOBJ previous = ::SelectObject(pixel, bitmap);
    m_appList.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(pixel), PRF_CLIENT);
    ::SelectObject(pixel, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(pixel);
    ::ReleaseDC(m_appList.m_hWnd, screen);
}

// The path of the item's program, as stored; none when it could not be read.
void CZelvantoDlg::OnGetInfoTip(NMHDR* header, LRESULT* result)
{
    NMLVGETINFOTIPA* tip = reinterpret_cast<NMLVGETINFOTIPA*>(header);
    const ListEntry* entry = reinterpret_cast<const ListEntry*>(m_appList.GetItemData(tip->iItem));
    if (entry && entry->listedPath)
        ::lstrcpynA(tip->pszText, *entry->listedPath, tip->cchTextMax);
    *result = 0;
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

// The key of the fallback icon's image, which no request has.
static const int kFallbackImage = -1;

// The fallback icon is the program's shared resource icon, which is never destroyed.
static int AddFallbackIcon(HIMAGELIST images)
{
    HICON icon = ::LoadIconW(
        AfxFindResourceHandle(MAKEINTRESOURCE(IDI_FALLBACK), RT_GROUP_ICON), MAKEINTRESOURCEW(IDI_FALLBACK));
    return ::ImageList_ReplaceIcon(images, -1, icon);
}

// Each finished picture goes to the item of its request: the items stand in the order of the requests. The
// image list keeps a copy of a picture it takes.
LRESULT CZelvantoDlg::OnIconsReady(WPARAM, LPARAM)
{
    HIMAGELIST images = m_appList.GetImageList(LVSIL_NORMAL);
    for (const IconLoader::Finished& finished : m_iconLoader.Take()) {
        m_appList.SetItemImage(static_cast<int>(finished.request), ImageOf(finished, images));
        IconLoader::Delete(finished.picture);
    }
    return 0;
}

// An item that shows an earlier request's picture takes that request's image: the window takes a worker's
// icons in the order it finished them. No picture, or one the image list cannot take, gives the fallback
// icon, one image for all such items.
int CZelvantoDlg::ImageOf(const IconLoader::Finished& finished, HIMAGELIST images)
{
    auto shown = m_imageOfRequest.find(static_cast<int>(finished.sameAs));
    if (shown != m_imageOfRequest.end())
        return shown->second;
    const IconLoader::Picture& picture = finished.picture;
    int image = picture.image ? ::ImageList_Add(images, picture.image, picture.mask) : -1;
    if (image < 0) {
        auto [fallback, isFirst] = m_imageOfRequest.try_emplace(kFallbackImage, -1);
        if (isFirst)
            fallback->second = AddFallbackIcon(images);
        image = fallback->second;
    }
    return m_imageOfRequest[static_cast<int>(finished.request)] = image;
}
