// The edit control, as thin calls of its messages.
#pragma once
#include "CWnd.h"

class CEdit : public CWnd
{
public:
    void ReplaceSel(LPCSTR text, BOOL canUndo = FALSE)
    {
        SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text));
    }
    void SetLimitText(UINT maximum) { SendMessage(EM_SETLIMITTEXT, maximum); }
};
