#include "CWnd.h"

#include <windowsx.h>

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = { { 0, 0, 0, 0, AfxSig_vv, { .vv = nullptr } } };
    static const AFX_MSGMAP map = { nullptr, entries };
    return &map;
}

static bool Matches(const AFX_MSGMAP_ENTRY& entry, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (entry.nMessage != message)
        return false;
    if (message == WM_COMMAND)
        return entry.nID <= LOWORD(wParam) && LOWORD(wParam) <= entry.nLastID && entry.nCode == HIWORD(wParam);
    if (message == WM_NOTIFY) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        return entry.nID == header->idFrom && entry.nCode == header->code;
    }
    return true;
}

bool CWnd::DispatchMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nMessage; ++entry) {
            if (Matches(*entry, message, wParam, lParam))
                return CallHandler(*entry, wParam, lParam, result);
        }
    }
    return false;
}

bool CWnd::CallHandler(const AFX_MSGMAP_ENTRY& entry, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    m_bDefault = false;
    result = 0;
    switch (entry.nSig) {
    case AfxSig_vv:
        (this->*entry.handler.vv)();
        break;
    case AfxSig_vw:
        (this->*entry.handler.vw)(LOWORD(wParam));
        break;
    case AfxSig_vwii:
        (this->*entry.handler.vwii)(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case AfxSig_hv:
        result = reinterpret_cast<LRESULT>((this->*entry.handler.hv)());
        break;
    case AfxSig_vWp: {
        CWnd clicked;
        clicked.m_hWnd = reinterpret_cast<HWND>(wParam);
        (this->*entry.handler.vWp)(&clicked, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        break;
    }
    case AfxSig_notify:
        (this->*entry.handler.notify)(reinterpret_cast<NMHDR*>(lParam), &result);
        break;
    case AfxSig_lwl:
        result = (this->*entry.handler.lwl)(wParam, lParam);
        break;
    }
    return !m_bDefault;
}
