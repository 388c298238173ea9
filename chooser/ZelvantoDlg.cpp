#include "ZelvantoDlg.h"

#include "app/FileExtension.h"
#include "resource.h"

CZelvantoDlg::CZelvantoDlg(CString targetFile, CWnd* parent)
    : CDialog(IDD_CHOOSER, parent),
      m_hIcon(::LoadIconW(AfxFindResourceHandle(MAKEINTRESOURCE(IDI_APP), RT_GROUP_ICON), MAKEINTRESOURCEW(IDI_APP))),
      m_targetFile(targetFile)
{
}

CZelvantoDlg::~CZelvantoDlg() = default;

BEGIN_MESSAGE_MAP(CZelvantoDlg, CDialog)
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
END_MESSAGE_MAP()

void CZelvantoDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}

BOOL CZelvantoDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    m_extension = GetFileExtension(m_targetFile);
    if (m_extension.IsEmpty()) {
        AfxMessageBox(IDS_NO_EXTENSION, MB_OK, 0);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    return TRUE;
}

void CZelvantoDlg::OnPaint()
{
    Default();
}

HCURSOR CZelvantoDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}
