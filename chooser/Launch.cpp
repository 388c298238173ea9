// Opening the target file with the selected application.
#include "ZelvantoDlg.h"

#include "resource.h"
#include "store/StoreError.h"
#include "store/StoreKey.h"
#include "store/StorePaths.h"

#include <shellapi.h>

// ShellExecute answers a number above this one when the program was started.
static const INT_PTR kShellExecuteFailureLimit = 32;

void CZelvantoDlg::OnOK()
{
    SaveWindowRect();
    const ListEntry* entry = SelectedEntry();
    if (!entry)
        return;
    CString appKey = entry->appKey;
    CString applicationPath = ApplicationRecordPath(appKey);
    CString assignmentPath = AssignmentRecordPath(m_extension, appKey);

    CStoreKey application;
    if (!OpenOrShowError(application, applicationPath, KEY_READ))
        return;
    CString path;
    if (application.ReadString("Path", path) != ERROR_SUCCESS) {
        ShowStoreError(IDS_ERR_READ_KEY, applicationPath);
        application.Close();
        return;
    }
    // Parameters that cannot be read count as none.
    CString parameters;
    CStoreKey assignment;
    if (assignment.Open(assignmentPath, KEY_READ) == ERROR_SUCCESS) {
        assignment.ReadString("Parameters", parameters);
        assignment.Close();
    }

    if (parameters.IsEmpty())
        parameters = Quote(m_targetFile);
    else
        parameters.Replace("%1", m_targetFile);
    CString program = Quote(path);

    INT_PTR result
        = reinterpret_cast<INT_PTR>(::ShellExecuteA(nullptr, "open", program, parameters, "", SW_SHOWNORMAL));
    if (result <= kShellExecuteFailureLimit) {
        // The user learns the start failed and can choose again.
        ShowStoreError(IDS_ERR_LAUNCH, program);
        return;
    }
    EndDialog(IDOK);
    application.Close();
}

CString CZelvantoDlg::Quote(CString text) const
{
    return CString("\"") + text + "\"";
}
