#include "EditDlg.h"

#include "chooser/ZelvantoDlg.h"
#include "resource.h"

// The longest text the store reads back, in bytes of the code page the process runs with: a longer one
// would be written and never read again.
static const int kLongestStoredText = MAX_PATH - 1;

CEditDlg::CEditDlg(CZelvantoDlg* owner, CWnd* parent)
    : CDialog(IDD_EDIT, parent)
    , m_pOwner(owner)
{
}

BEGIN_MESSAGE_MAP(CEditDlg, CDialog)
ON_BN_CLICKED(IDC_BROWSE, &CEditDlg::OnBrowse)
ON_BN_CLICKED(IDC_INSERT_FILE, &CEditDlg::OnInsertFile)
ON_EN_CHANGE(IDC_NAME, &CEditDlg::OnChangeName)
ON_EN_CHANGE(IDC_PATH, &CEditDlg::OnChangePath)
ON_EN_CHANGE(IDC_PARAMETERS, &CEditDlg::OnChangeParameters)
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
    m_editName.SetLimitText(kLongestStoredText);
    m_editPath.SetLimitText(kLongestStoredText);
    m_editParameters.SetLimitText(kLongestStoredText);
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
    // The path field would refuse it, and the name is not to take the title of a file not taken.
    if (fullPath.GetLength() > kLongestStoredText)
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

void CEditDlg::OnChangeName()
{
    KeepReadable(m_editName, m_acceptedName);
}

void CEditDlg::OnChangePath()
{
    KeepReadable(m_editPath, m_acceptedPath);
}

void CEditDlg::OnChangeParameters()
{
    KeepReadable(m_editParameters, m_acceptedParameters);
}

// The control's own limit counts characters, which take up to four bytes in UTF-8: a change that makes the
// text longer in bytes is refused whole, so no character is ever cut in two.
void CEditDlg::KeepReadable(CEdit& edit, CString& accepted)
{
    CString text;
    edit.GetWindowText(text);
    if (text.GetLength() <= kLongestStoredText) {
        accepted = text;
        return;
    }
    edit.SetWindowText(accepted);
    // A position past the end, in bytes or in characters, puts the caret at the end.
    edit.SetSel(accepted.GetLength(), accepted.GetLength());
}
