#include "StoreError.h"

#include "AfxGlobals.h"
#include "CString.h"

void ShowStoreError(UINT messageId, LPCSTR keyPath)
{
    CString text;
    text.LoadString(messageId);
    text += ":\n";
    text += keyPath;
    AfxMessageBox(text, MB_OK, 0);
}
