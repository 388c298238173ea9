// The chooser's changes to its extension's assignments: each takes the selection, has the store make the
// change, and tells what failed.
#include "ZelvantoDlg.h"

#include "StoreError.h"

CAssignmentStore CZelvantoDlg::Store() const
{
    return CAssignmentStore(m_extension);
}

BOOL CZelvantoDlg::AddAssignment(CString path, CString fileName, CString displayName)
{
    return ShowIfFailed(Store().Add(path, fileName, displayName));
}

BOOL CZelvantoDlg::RemoveAssignment()
{
    const ListEntry* entry = SelectedEntry();
    if (!entry)
        return FALSE;
    return ShowIfFailed(Store().Remove(entry->appKey));
}

void CZelvantoDlg::OnDefault()
{
    int selected = m_appList.GetNextItem(-1, LVNI_SELECTED);
    if (selected < 0)
        return;
    std::vector<ListEntry*> entries;
    for (int item = 0; item < m_appList.GetItemCount(); ++item)
        entries.push_back(reinterpret_cast<ListEntry*>(m_appList.GetItemData(item)));
    ShowIfFailed(Store().SetDefault(entries, static_cast<size_t>(selected)));
}
