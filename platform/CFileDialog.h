// The system's open-file dialog, with a filter in the framework's "text|pattern|...||" form.
#pragma once
#include "AfxGlobals.h"
#include "CString.h"

#include <commdlg.h>

#include <vector>

class CWnd;

class CFileDialog
{
public:
    // Always an open dialog: the first argument, which would ask for a save dialog, is not used.
    CFileDialog(BOOL openFileDialog, LPCSTR defaultExtension, LPCSTR fileName, DWORD flags, LPCSTR filter,
        CWnd* parent = nullptr, DWORD size = 0, BOOL vistaStyle = TRUE);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    INT_PTR DoModal();
    CString GetPathName() const { return CString(m_file.data()); }
    CString GetFileName() const;
    CString GetFileTitle() const;

    OPENFILENAMEA m_ofn;

private:
    CWnd* m_pParentWnd;
    std::vector<char> m_filter;
    std::vector<char> m_file;
};
