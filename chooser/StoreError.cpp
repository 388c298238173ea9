#include "StoreError.h"

#include "AfxGlobals.h"

void ShowStoreError(UINT messageId, LPCSTR keyPath)
{
    CString text;
    text.LoadString(messageId);
    text += ":\n";
    text += keyPath;
    AfxMessageBox(text, MB_OK, 0);
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
