#include "Messages.h"

#include "AfxGlobals.h"

void ShowMessage(UINT messageId, LPCSTR detail)
{
    CString text;
    text.LoadString(messageId);
    text += ":\n";
    text += detail;
    AfxMessageBox(text, MB_OK, 0);
}

void ShowStoreError(UINT messageId, LPCSTR keyPath)
{
    ShowMessage(messageId, keyPath);
}

BOOL ShowIfFailed(const StoreResult& result)
{
    if (result.Done())
        return TRUE;
    if (result.keyPath.IsEmpty())
        AfxMessageBox(result.messageId, MB_OK, 0);
    else
        ShowStoreError(result.messageId, result.keyPath);
    return FALSE;
}
