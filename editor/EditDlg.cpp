#include "EditDlg.h"

#include "chooser/ZelvantoDlg.h"
#include "resource.h"
#include "store/StoreKey.h"

CEditDlg::CEditDlg(CZelvantoDlg* owner, CWnd* parent)
    : CDialog(IDD_EDIT, parent)
    , m_pOwner(owner)
{
}

BEGIN_MESSAGE_MAP(CEditDlg, CDialog)
ON_BN_CLICKED(IDC_BROWSE, &CEditDlg::OnBrowse)
ON_BN_CLICKED(IDC_INSERT_FILE, &CEditDlg::OnInsertFile)
END_MESSAGE_MAP()

void CEditDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_NAME, m_editName);
    DDX_Control(pDX, IDC_PATH, m_editPath);
    DDX_Control(pDX, IDC_PARAMETERS, m_editParameters);
}

BOOL CEditDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The control counts characters as the store does, so whatever the fields take is read back.
    m_editName.SetLimitText(CStoreKey::kLongestText);
    m_editPath.SetLimitText(CStoreKey::kLongestText);
    m_editParameters.SetLimitText(CStoreKey::kLongestText);
    m_editName.SetWindowText(m_strName);
    m_editPath.SetWindowText(m_strPath);
    m_editParameters.SetWindowText(m_strParameters);
    return TRUE;
}

void CEditDlg::OnOK()
{
    m_editName.GetWindowText(m_strName);
    m_editPath.GetWindowText(m_strPath);
    m_editParameters.GetWindowText(m_strParameters);
    CDialog::OnOK();
}

void CEditDlg::OnCancel()
{
    CDialog::OnCancel();
}

void CEditDlg::OnBrowse()
{
    CString fullPath;
    CString fileName;
    CString fileTitle;
    if (!m_pOwner->PickExecutable(fullPath, fileName, fileTitle))
        return;
    m_editPath.SetWindowText(fullPath);
    CString name;
    m_editName.GetWindowText(name);
    if (name.GetLength() == 0)
        m_editName.SetWindowText(fileTitle);
}

void CEditDlg::OnInsertFile()
{
    m_editParameters.ReplaceSel("\"%1\"", TRUE);
}
