// The chooser's place and size, remembered per extension.
#include "ZelvantoDlg.h"

#include "store/StoreKey.h"
#include "store/StorePaths.h"

void CZelvantoDlg::RestoreWindowRect()
{
    CStoreKey extension;
    if (extension.Open(ExtensionRecordPath(m_extension), KEY_READ) != ERROR_SUCCESS)
        return;
    DWORD left = 0;
    DWORD top = 0;
    DWORD width = 0;
    DWORD height = 0;
    if (extension.ReadDword("WindowLeft", left) != ERROR_SUCCESS
        || extension.ReadDword("WindowTop", top) != ERROR_SUCCESS
        || extension.ReadDword("WindowWidth", width) != ERROR_SUCCESS
        || extension.ReadDword("WindowHeight", height) != ERROR_SUCCESS)
        return;
    // A rectangle on no monitor (one unplugged since) would open the window out of reach.
    RECT stored = { static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(left + width),
        static_cast<LONG>(top + height) };
    if (!::MonitorFromRect(&stored, MONITOR_DEFAULTTONULL))
        return;
    SetWindowPos(nullptr, static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(width),
        static_cast<LONG>(height), SWP_NOZORDER);
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
    CRect rect = NormalWindowRect(m_hWnd);
    CStoreKey extension;
    if (extension.Open(ExtensionRecordPath(m_extension), KEY_WRITE) != ERROR_SUCCESS)
        return;
    extension.WriteDword("WindowLeft", static_cast<DWORD>(rect.left));
    extension.WriteDword("WindowTop", static_cast<DWORD>(rect.top));
    extension.WriteDword("WindowWidth", static_cast<DWORD>(rect.Width()));
    extension.WriteDword("WindowHeight", static_cast<DWORD>(rect.Height()));
}
