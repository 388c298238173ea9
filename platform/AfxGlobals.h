// The framework's free functions that the program uses.
#pragma once
#include <windows.h>

class CWinApp;

CWinApp* AfxGetApp();

// The module that holds a resource; the program keeps all of its resources in the executable.
HINSTANCE AfxFindResourceHandle(LPCSTR name, LPCSTR type);

// The window that a box or dialog without an explicit parent belongs to: the last active
// popup of the main window, or of the active window while there is no main window.
HWND AfxGetSafeOwner(HWND parent);

int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT textId, UINT type = MB_OK, UINT helpId = UINT(-1));
