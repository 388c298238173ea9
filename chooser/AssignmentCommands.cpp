// The chooser's changes to its extension's assignments: each takes the selection, has the store make the
// change, and tells what failed. A change another copy overtook shows the store again.
#include "ZelvantoDlg.h"

#include "Messages.h"

CAssignmentStore CZelvantoDlg::Store() const
{
    return CAssignmentStore(m_extension);
}

BOOL CZelvantoDlg::AddAssignment(const NewApplication& application, CString& appKey)
{
    return ShowIfFailed(Store().Add(application, appKey));
}

// The new application is selected, so Enter opens the file with it.
void CZelvantoDlg::AddAndSelect(const NewApplication& application)
{
    CString appKey;
    if (AddAssignment(application, appKey))
        LoadList(appKey);
}

// TRUE when the list no longer shows the store: the assignment is gone, here or by another copy, or another
// copy changed it meanwhile.
BOOL CZelvantoDlg::RemoveAssignment()
{
    const ListEntry* entry = SelectedEntry();
    if (!entry)
        return FALSE;
    StoreResult result = Store().Remove(*entry);
    ShowIfFailed(result);
    return result.Done() || result.Stale();
}

void CZelvantoDlg::OnDefault()
{
    int selected = m_appList.GetNextItem(-1, LVNI_SELECTED);
    if (selected < 0)
        return;
    std::vector<ListEntry*> entries;
    for (int item = 0; item < m_appList.GetItemCount(); ++item)
        entries.push_back(reinterpret_cast<ListEntry*>(m_appList.GetItemData(item)));
    StoreResult result = Store().SetDefault(entries, static_cast<size_t>(selected));
    ShowIfFailed(result);
    if (result.Stale())
        LoadList();
}
