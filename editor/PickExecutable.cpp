// Choosing a program file from disk.
#include "chooser/ZelvantoDlg.h"

#include "CFileDialog.h"

// The same German text in both languages; converted when used, so its "ü" is written in the code page the
// process runs with (one byte in Windows-1252, two in UTF-8).
static const wchar_t kExecutableFilter[]
    = L"Ausführbare Dateien (*.exe; *.bat; *.cmd)|*.exe; *.bat; *.cmd|Anwendungen (*.exe)|*.exe|"
      L"Stapelverarbeitungsdateien (*.bat)|*.bat|Befehlsskripte (*.cmd)|*.cmd|Alle Dateien (*.*)|*.*||";

BOOL CZelvantoDlg::PickExecutable(CString& fullPath, CString& fileName, CString& fileTitle)
{
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING,
        CString(kExecutableFilter), nullptr, 0, TRUE);
    if (dialog.DoModal() != IDOK)
        return FALSE;
    fullPath = dialog.GetPathName();
    fileName = dialog.GetFileName();
    fileTitle = dialog.GetFileTitle();
    return TRUE;
}
