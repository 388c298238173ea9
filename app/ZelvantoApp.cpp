#include "ZelvantoApp.h"

#include "chooser/ZelvantoDlg.h"
#include "resource.h"

#include <cstdlib>

CZelvantoApp theApp;

BOOL CZelvantoApp::InitInstance()
{
    SetRegistryKey("Karvelund");
    if (__argc == 2) {
        CString targetFile(__argv[1]);
        CZelvantoDlg dlg(targetFile);
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    } else {
        CString caption;
        caption.LoadString(IDS_NOTE_CAPTION);
        CString usage;
        usage.LoadString(IDS_USAGE);
        ::MessageBoxA(nullptr, usage, caption, MB_OK | MB_ICONINFORMATION);
    }
    // No message loop follows: the run ends with the dialog or the note.
    return FALSE;
}
