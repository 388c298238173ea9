// The chooser: the applications assigned to the target file's extension, as large icons.
#pragma once
#include "CDialog.h"

class CZelvantoDlg : public CDialog {
public:
    explicit CZelvantoDlg(CString targetFile, CWnd* parent = nullptr);
    ~CZelvantoDlg() override;

protected:
    DECLARE_MESSAGE_MAP()
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnPaint();
    HCURSOR OnQueryDragIcon();

private:
    HICON m_hIcon;
    CString m_targetFile;
    CString m_extension;
};
