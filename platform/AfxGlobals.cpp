#include "AfxGlobals.h"

#include "CString.h"
#include "CWinApp.h"

HINSTANCE AfxFindResourceHandle(LPCSTR, LPCSTR)
{
    return ::GetModuleHandleA(nullptr);
}

HWND AfxGetSafeOwner(HWND parent)
{
    HWND owner = parent;
    if (!owner && AfxGetApp() && AfxGetApp()->m_pMainWnd)
        owner = AfxGetApp()->m_pMainWnd->GetSafeHwnd();
    if (!owner)
        owner = ::GetActiveWindow();
    return owner ? ::GetLastActivePopup(owner) : nullptr;
}

int AfxMessageBox(LPCSTR text, UINT type, UINT)
{
    // A plain OK box gets the exclamation icon, as the framework gives it.
    if ((type & MB_ICONMASK) == 0 && (type & MB_TYPEMASK) == MB_OK)
        type |= MB_ICONEXCLAMATION;
    LPCSTR caption = AfxGetApp() ? AfxGetApp()->m_pszAppName : nullptr;
    return ::MessageBoxA(AfxGetSafeOwner(nullptr), text, caption, type);
}

int AfxMessageBox(UINT textId, UINT type, UINT helpId)
{
    CString text;
    text.LoadString(textId);
    return AfxMessageBox(text, type, helpId);
}
