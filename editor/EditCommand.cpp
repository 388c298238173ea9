// The Edit command: shows an application's values in the edit dialog and writes back what changed.
#include "chooser/ZelvantoDlg.h"

#include "EditDlg.h"
#include "resource.h"
#include "store/StoreError.h"
#include "store/StoreKey.h"
#include "store/StorePaths.h"

// Writes one changed text; answers whether the write went through, telling the user when not.
static bool WriteChanged(
    const CStoreKey& key, LPCSTR name, const CString& text, const CString& before, LPCSTR keyPath)
{
    if (text.Compare(before) == 0)
        return false;
    if (key.WriteString(name, text) != ERROR_SUCCESS) {
        ShowStoreError(IDS_ERR_WRITE_KEY, keyPath);
        return false;
    }
    return true;
}

void CZelvantoDlg::OnEdit()
{
    const ListEntry* entry = SelectedEntry();
    if (!entry)
        return;
    CString appKey = entry->appKey;
    CString applicationPath = ApplicationRecordPath(appKey);
    CString assignmentPath = AssignmentRecordPath(m_extension, appKey);

    CStoreKey application;
    if (!OpenOrShowError(application, applicationPath, KEY_READ | KEY_WRITE))
        return;
    CStoreKey assignment;
    if (!OpenOrShowError(assignment, assignmentPath, KEY_READ | KEY_WRITE))
        return;
    CString displayName;
    CString path;
    if (application.ReadString("DisplayName", displayName) != ERROR_SUCCESS
        || application.ReadString("Path", path) != ERROR_SUCCESS) {
        ShowStoreError(IDS_ERR_READ_KEY, applicationPath);
        return;
    }
    // The optional parameters count as empty when they cannot be read.
    CString parameters;
    assignment.ReadString("Parameters", parameters);

    CEditDlg dialog(this);
    dialog.m_strName = displayName;
    dialog.m_strPath = path;
    dialog.m_strParameters = parameters;
    if (dialog.DoModal() != IDOK)
        return;

    bool written = WriteChanged(application, "DisplayName", dialog.m_strName, displayName, applicationPath);
    written = WriteChanged(application, "Path", dialog.m_strPath, path, applicationPath) || written;
    written = WriteChanged(assignment, "Parameters", dialog.m_strParameters, parameters, assignmentPath)
        || written;
    if (written)
        LoadList();
}
