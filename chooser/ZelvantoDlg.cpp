#include "ZelvantoDlg.h"

#include "app/FileExtension.h"
#include "resource.h"

CZelvantoDlg::CZelvantoDlg(CString targetFile, CWnd* parent)
    : CDialog(IDD_CHOOSER, parent)
    , m_hIcon(::LoadIconW(
          AfxFindResourceHandle(MAKEINTRESOURCE(IDI_APP), RT_GROUP_ICON), MAKEINTRESOURCEW(IDI_APP)))
    , m_hSmallIcon(static_cast<HICON>(::LoadImageW(
          AfxFindResourceHandle(MAKEINTRESOURCE(IDI_APP), RT_GROUP_ICON), MAKEINTRESOURCEW(IDI_APP),
          IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0)))
    , m_targetFile(targetFile)
{
}

// The large icon is the system's shared one; the small one, loaded at its own size, is this dialog's.
CZelvantoDlg::~CZelvantoDlg()
{
    if (m_hSmallIcon)
        ::DestroyIcon(m_hSmallIcon);
}

BEGIN_MESSAGE_MAP(CZelvantoDlg, CDialog)
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_NOTIFY(NM_CLICK, IDC_APP_LIST, &CZelvantoDlg::OnClickList)
ON_NOTIFY(NM_CUSTOMDRAW, IDC_APP_LIST, &CZelvantoDlg::OnCustomDrawList)
ON_NOTIFY(LVN_GETINFOTIPA, IDC_APP_LIST, &CZelvantoDlg::OnGetInfoTip)
ON_WM_CONTEXTMENU()
ON_COMMAND(ID_OPEN, &CZelvantoDlg::OnOpen)
ON_COMMAND(ID_DEFAULT, &CZelvantoDlg::OnDefault)
ON_COMMAND(ID_ADD, &CZelvantoDlg::OnAdd)
ON_COMMAND_RANGE(ID_ADD_KNOWN_FIRST, ID_ADD_KNOWN_LAST, &CZelvantoDlg::OnAddKnown)
ON_COMMAND(ID_EDIT, &CZelvantoDlg::OnEdit)
ON_COMMAND(ID_REMOVE, &CZelvantoDlg::OnRemove)
ON_WM_SIZE()
ON_WM_CLOSE()
ON_MESSAGE(WM_ICONS_READY, &CZelvantoDlg::OnIconsReady)
END_MESSAGE_MAP()

void CZelvantoDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_APP_LIST, m_appList);
}

BOOL CZelvantoDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon));
    m_extension = GetFileExtension(m_targetFile);
    if (m_extension.IsEmpty()) {
        // Nothing is read or saved for a file without an extension.
        AfxMessageBox(IDS_NO_EXTENSION, MB_OK, 0);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    RestoreWindowRect();
    // Two programs of one file name look alike: the tip tells them apart by their paths.
    m_appList.SetExtendedStyle(LVS_EX_INFOTIP);
    LoadList();
    return TRUE;
}

void CZelvantoDlg::OnCancel()
{
    SaveWindowRect();
    CDialog::OnCancel();
}

void CZelvantoDlg::OnClose()
{
    SaveWindowRect();
    Default();
}

void CZelvantoDlg::OnSize(UINT, int cx, int cy)
{
    Default();
    // The first size messages come while the dialog is created, before the list is bound.
    if (!m_appList.GetSafeHwnd() || !m_appList.IsWindow())
        return;
    m_appList.SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER);
    m_appList.Arrange(LVA_DEFAULT);
    // The hint is centred: where the list only paints what the size uncovered, it would stand twice.
    if (m_appList.GetItemCount() == 0)
        m_appList.Invalidate();
}

void CZelvantoDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    int cxIcon = ::GetSystemMetrics(SM_CXICON);
    int cyIcon = ::GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    dc.DrawIcon((rect.Width() - cxIcon + 1) / 2, (rect.Height() - cyIcon + 1) / 2, m_hIcon);
}

HCURSOR CZelvantoDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

ListEntry* CZelvantoDlg::SelectedEntry() const
{
    if (m_appList.GetSelectedCount() != 1)
        return nullptr;
    int selected = m_appList.GetNextItem(-1, LVNI_SELECTED);
    if (selected < 0)
        return nullptr;
    return reinterpret_cast<ListEntry*>(m_appList.GetItemData(selected));
}
