// The floor of the start-up measurement: the least a Win32 program does to show one empty dialog.
// It closes as soon as the start timer, having seen it shown, sends it WM_CLOSE.
#include <windows.h>

static INT_PTR CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    // WM_CLOSE reaches the dialog manager, which answers it with IDCANCEL.
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        ::EndDialog(window, 0);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // A template in memory, so no resource is loaded; the three words name no menu, class or title.
    struct alignas(4) EmptyDialog {
        DLGTEMPLATE header;
        WORD menu, windowClass, title;
    } dialog = {};
    // As large as the chooser, so the window manager does the same work for both.
    dialog.header.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
    dialog.header.cx = 206;
    dialog.header.cy = 106;
    return static_cast<int>(::DialogBoxIndirectParamA(instance, &dialog.header, nullptr, FloorProc, 0));
}
