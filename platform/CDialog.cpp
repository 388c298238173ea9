#include "CDialog.h"

#include "AfxGlobals.h"

#include <commctrl.h>

INT_PTR CDialog::DoModal()
{
    // Templates may hold list views, whose window class the common controls register on request.
    INITCOMMONCONTROLSEX classes = { sizeof classes, ICC_LISTVIEW_CLASSES };
    ::InitCommonControlsEx(&classes);
    LPCSTR name = MAKEINTRESOURCE(m_nIDTemplate);
    HWND owner = AfxGetSafeOwner(m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr);
    INT_PTR result = ::DialogBoxParamA(
        AfxFindResourceHandle(name, RT_DIALOG), name, owner, DialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

BOOL CDialog::OnInitDialog()
{
    CDataExchange dx(this);
    DoDataExchange(&dx);
    return TRUE;
}

// The OK and Cancel commands reach the virtual handlers, so every override runs.
BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
        dialog->m_hWnd = hWnd;
        return dialog->OnInitDialog();
    }
    CDialog* dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    if (!dialog)
        return FALSE;
    LRESULT result = 0;
    if (!dialog->DispatchMessage(message, wParam, lParam, result))
        return FALSE;
    if (message == WM_NOTIFY) {
        ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    if (message == WM_QUERYDRAGICON)
        return result;
    return TRUE;
}
