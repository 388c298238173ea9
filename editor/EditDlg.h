// Edits an application's display name and path and its assignment's parameters.
#pragma once
#include "CDialog.h"
#include "CEdit.h"

class CZelvantoDlg;

class CEditDlg : public CDialog
{
public:
    explicit CEditDlg(CZelvantoDlg* owner, CWnd* parent = nullptr);
    ~CEditDlg() override = default;

    CEdit m_editName;
    CEdit m_editPath;
    CEdit m_editParameters;
    CZelvantoDlg* m_pOwner;
    CString m_strName;
    CString m_strPath;
    CString m_strParameters;

protected:
    DECLARE_MESSAGE_MAP()
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    void OnBrowse();
    void OnInsertFile();
};
