// A window wrapper that does not own its window.
#pragma once
#include "CPoint.h"
#include "CString.h"
#include "MessageMap.h"

#include <cassert>
#include <vector>

class CWnd
{
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd() = default;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        assert(::IsWindow(m_hWnd));
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    void SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
    void GetWindowText(CString& text) const
    {
        std::vector<char> buffer(::GetWindowTextLengthA(m_hWnd) + 1);
        ::GetWindowTextA(m_hWnd, buffer.data(), static_cast<int>(buffer.size()));
        text = buffer.data();
    }
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
    {
        return ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
    }
    void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
    void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
    void ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsWindow() const { return ::IsWindow(m_hWnd); }
    BOOL ModifyStyle(DWORD remove, DWORD add)
    {
        LONG_PTR style = ::GetWindowLongPtrA(m_hWnd, GWL_STYLE);
        return ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(remove)) | add) != 0;
    }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    void SetRedraw(BOOL redraw = TRUE) { ::SendMessageA(m_hWnd, WM_SETREDRAW, redraw, 0); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }

    // Leaves the message to the system's own processing once the handler returns.
    LRESULT Default()
    {
        m_bDefault = true;
        return 0;
    }

    HWND m_hWnd = nullptr;

protected:
    virtual const AFX_MSGMAP* GetMessageMap() const { return GetThisMessageMap(); }
    static const AFX_MSGMAP* GetThisMessageMap();

    // Hands a message to the first matching handler of this class's map or its bases';
    // false means nothing handled it, or the handler asked for the default processing.
    bool DispatchMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    bool CallHandler(const AFX_MSGMAP_ENTRY& entry, WPARAM wParam, LPARAM lParam, LRESULT& result);

    bool m_bDefault = false;
};
