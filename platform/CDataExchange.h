// Binding of dialog controls to their wrapper objects.
#pragma once
#include "CWnd.h"

class CDataExchange
{
public:
    explicit CDataExchange(CWnd* dialog)
        : m_pDlgWnd(dialog)
    {
    }
    CWnd* m_pDlgWnd;
};

inline void DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    if (!control.m_hWnd)
        control.m_hWnd = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, id);
}
