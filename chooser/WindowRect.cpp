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

void CZelvantoDlg::SaveWindowRect()
{
    // A minimised window reports the rectangle of its icon; the one saved before stays.
    if (IsIconic())
        return;
    CRect rect;
    GetWindowRect(&rect);
    CStoreKey extension;
    if (extension.Open(ExtensionRecordPath(m_extension), KEY_WRITE) != ERROR_SUCCESS)
        return;
    extension.WriteDword("WindowLeft", static_cast<DWORD>(rect.left));
    extension.WriteDword("WindowTop", static_cast<DWORD>(rect.top));
    extension.WriteDword("WindowWidth", static_cast<DWORD>(rect.Width()));
    extension.WriteDword("WindowHeight", static_cast<DWORD>(rect.Height()));
}
