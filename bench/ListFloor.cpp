// The list floor: the chooser's own dialog, list and manifest, filled with twenty names before it is shown,
// each with the program's fallback picture, the seventh selected; no store, no files, no threads. What the
// window system itself needs to show the chooser's list: the part of a start no code of the chooser can save.
// On a file whose extension is .none the list stays empty. It closes when the start timer sends WM_CLOSE.
#include "resource.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstring>

static const int kItems = 20;
static const int kSelected = 6;

static void Fill(HWND list)
{
    const int size = ::GetSystemMetrics(SM_CXICON);
    HIMAGELIST images = ::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 0);
    HICON picture = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_FALLBACK));
    int image = ::ImageList_ReplaceIcon(images, -1, picture);
    ::SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (int item = 0; item < kItems; ++item) {
        char name[16];
        std::snprintf(name, sizeof name, "Wine %02d", item + 1);
        LVITEMA row = {};
        row.mask = LVIF_TEXT | LVIF_IMAGE;
        row.iItem = item;
        row.pszText = name;
        row.iImage = image;
        ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row));
    }
    LVITEMA selected = {};
    selected.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    selected.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(list, LVM_SETITEMSTATE, kSelected, reinterpret_cast<LPARAM>(&selected));
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

static INT_PTR CALLBACK ListFloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        if (lParam)
            Fill(::GetDlgItem(window, IDC_APP_LIST));
        return TRUE;
    }
    // WM_CLOSE reaches the dialog manager, which answers it with IDCANCEL.
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        ::EndDialog(window, 0);
        return TRUE;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    LPARAM filled = std::strstr(commandLine, ".none") == nullptr;
    return static_cast<int>(
        ::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CHOOSER), nullptr, ListFloorProc, filled));
}
