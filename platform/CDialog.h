// A modal dialog from a template, with its messages routed through the message maps.
#pragma once
#include "AfxGlobals.h"
#include "CDataExchange.h"
#include "CWnd.h"

class CDialog : public CWnd
{
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr)
        : m_nIDTemplate(templateId)
        , m_pParentWnd(parent)
    {
    }
    ~CDialog() override = default;

    INT_PTR DoModal();
    void EndDialog(int result) { ::EndDialog(m_hWnd, result); }

protected:
    DECLARE_MESSAGE_MAP()

    virtual void DoDataExchange(CDataExchange*) { }
    virtual BOOL OnInitDialog();
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
};
