// The chooser's place and size, remembered per extension.
#include "AssignmentStore.h"

#include "StoreKey.h"
#include "StorePaths.h"

static const char* const kPlaceNames[] = { "WindowLeft", "WindowTop", "WindowWidth", "WindowHeight" };

std::optional<CRect> CAssignmentStore::WindowRect() const
{
    CStoreKey extension;
    if (extension.Open(ExtensionRecordPath(m_extension), KEY_READ) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD values[4] = {};
    for (int index = 0; index < 4; ++index) {
        if (extension.ReadDword(kPlaceNames[index], values[index]) != ERROR_SUCCESS)
            return std::nullopt;
    }
    // Each value is a signed number of pixels: left of or above the main monitor is negative.
    CRect rect;
    rect.left = static_cast<LONG>(values[0]);
    rect.top = static_cast<LONG>(values[1]);
    rect.right = rect.left + static_cast<LONG>(values[2]);
    rect.bottom = rect.top + static_cast<LONG>(values[3]);
    // A rectangle on no monitor (one unplugged since) would open the window out of reach.
    if (!::MonitorFromRect(&rect, MONITOR_DEFAULTTONULL))
        return std::nullopt;
    return rect;
}

void CAssignmentStore::SaveWindowRect(const CRect& rect) const
{
    CStoreKey extension;
    if (extension.Open(ExtensionRecordPath(m_extension), KEY_WRITE) != ERROR_SUCCESS)
        return;
    const LONG values[4] = { rect.left, rect.top, rect.Width(), rect.Height() };
    for (int index = 0; index < 4; ++index)
        extension.WriteDword(kPlaceNames[index], static_cast<DWORD>(values[index]));
}
