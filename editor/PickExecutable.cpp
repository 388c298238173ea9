// Choosing a program file from disk.
#include "chooser/ZelvantoDlg.h"

#include "CFileDialog.h"

// The same German text in both languages, in the ANSI code page ("\xFC" is the u with diaeresis).
static const char kExecutableFilter[]
    = "Ausf\xFChrbare Dateien (*.exe; *.bat; *.cmd)|*.exe; *.bat; *.cmd|Anwendungen (*.exe)|*.exe|"
      "Stapelverarbeitungsdateien (*.bat)|*.bat|Befehlsskripte (*.cmd)|*.cmd|Alle Dateien (*.*)|*.*||";

BOOL CZelvantoDlg::PickExecutable(CString& fullPath, CString& fileName, CString& fileTitle)
{
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING,
        kExecutableFilter, nullptr, 0, TRUE);
    if (dialog.DoModal() != IDOK)
        return FALSE;
    fullPath = dialog.GetPathName();
    fileName = dialog.GetFileName();
    fileTitle = dialog.GetFileTitle();
    return TRUE;
}
