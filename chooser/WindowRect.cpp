// The chooser's place and size, remembered per extension by the store.
#include "ZelvantoDlg.h"

void CZelvantoDlg::RestoreWindowRect()
{
    std::optional<CRect> rect = Store().WindowRect();
    if (!rect)
        return;
    SetWindowPos(nullptr, rect->left, rect->top, rect->Width(), rect->Height(), SWP_NOZORDER);
}

// The place the window has when it is neither minimised nor maximised: a minimised one reports its icon's
// rectangle and a maximised one the whole work area, and neither is where it should open again.
static CRect NormalWindowRect(HWND window)
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    ::GetWindowPlacement(window, &placement);
    CRect rect;
    ::CopyRect(&rect, &placement.rcNormalPosition);
    // The normal place is told relative to the work area, which a taskbar at the top or left moves.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    ::OffsetRect(
        &rect, monitor.rcWork.left - monitor.rcMonitor.left, monitor.rcWork.top - monitor.rcMonitor.top);
    return rect;
}

void CZelvantoDlg::SaveWindowRect()
{
    Store().SaveWindowRect(NormalWindowRect(m_hWnd));
}
