// The Edit command: shows an application's values in the edit dialog and writes back what changed.
#include "chooser/ZelvantoDlg.h"

#include "EditDlg.h"
#include "chooser/Messages.h"

void CZelvantoDlg::OnEdit()
{
    const ListEntry* entry = SelectedEntry();
    if (!entry)
        return;
    CString appKey = entry->appKey;
    CAssignmentStore store = Store();
    EditValues read;
    if (!ShowIfFailed(store.ReadForEdit(appKey, read)))
        return;

    CEditDlg dialog(this);
    dialog.m_strName = read.displayName;
    dialog.m_strPath = read.path;
    dialog.m_strParameters = read.parameters;
    if (dialog.DoModal() != IDOK)
        return;

    EditOutcome outcome
        = store.WriteEdit(appKey, read, { dialog.m_strName, dialog.m_strPath, dialog.m_strParameters });
    bool stale = false;
    for (const StoreResult& failure : outcome.failures) {
        ShowIfFailed(failure);
        stale = stale || failure.Stale();
    }
    if (outcome.written || stale)
        LoadList();
}
