#include "StoreError.h"

#include "AfxGlobals.h"
#include "CString.h"
#include "StoreKey.h"
#include "resource.h"

void ShowStoreError(UINT messageId, LPCSTR keyPath)
{
    CString text;
    text.LoadString(messageId);
    text += ":\n";
    text += keyPath;
    AfxMessageBox(text, MB_OK, 0);
}

bool OpenOrShowError(CStoreKey& key, LPCSTR keyPath, REGSAM access)
{
    if (key.Open(keyPath, access) == ERROR_SUCCESS)
        return true;
    ShowStoreError(IDS_ERR_OPEN_KEY, keyPath);
    return false;
}
