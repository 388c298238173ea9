// The chooser's store operations: adding and removing an assignment, and setting the default.
#include "chooser/ZelvantoDlg.h"

#include "StoreError.h"
#include "StoreKey.h"
#include "StorePaths.h"
#include "resource.h"

// Removes an application record this Add has just made, so no record without values is left behind.
static void DeleteNewApplication(LPCSTR appKey)
{
    CStoreKey applications;
    if (applications.Open(ApplicationsKeyPath(), KEY_WRITE) == ERROR_SUCCESS)
        applications.DeleteTree(appKey);
}

// Makes the application record unless it exists; an existing one keeps its values.
static BOOL EnsureApplication(LPCSTR path, LPCSTR appKey, LPCSTR displayName)
{
    CString applicationPath = ApplicationRecordPath(appKey);
    if (CStoreKey::Exists(applicationPath))
        return TRUE;
    CStoreKey application;
    if (application.Create(applicationPath) != ERROR_SUCCESS) {
        ShowStoreError(IDS_ERR_CREATE_KEY, applicationPath);
        return FALSE;
    }
    if (application.WriteString("Path", path) != ERROR_SUCCESS
        || application.WriteString("DisplayName", displayName) != ERROR_SUCCESS) {
        application.Close();
        DeleteNewApplication(appKey);
        ShowStoreError(IDS_ERR_WRITE_KEY, applicationPath);
        return FALSE;
    }
    return TRUE;
}

BOOL CZelvantoDlg::AddAssignment(CString path, CString appKey, CString displayName)
{
    if (!EnsureApplication(path, appKey, displayName))
        return FALSE;
    CString assignmentPath = AssignmentRecordPath(m_extension, appKey);
    if (CStoreKey::Exists(assignmentPath)) {
        AfxMessageBox(IDS_ASSIGNMENT_EXISTS, MB_OK, 0);
        return FALSE;
    }
    CStoreKey assignment;
    if (assignment.Create(assignmentPath) != ERROR_SUCCESS) {
        ShowStoreError(IDS_ERR_CREATE_KEY, assignmentPath);
        return FALSE;
    }
    if (assignment.WriteDword("Default", 0) != ERROR_SUCCESS) {
        ShowStoreError(IDS_ERR_WRITE_KEY, assignmentPath);
        return FALSE;
    }
    return TRUE;
}

// Assignment records left in the extension record.
static size_t CountAssignments(LPCSTR extensionPath)
{
    CStoreKey extension;
    if (extension.Open(extensionPath, KEY_READ) != ERROR_SUCCESS)
        return 0;
    return extension.SubkeyNames().size();
}

// Extension records that still hold an assignment record of the app key, in any letter case.
static int CountReferences(LPCSTR appKey)
{
    CStoreKey extensions;
    if (extensions.Open(ExtensionsKeyPath(), KEY_READ) != ERROR_SUCCESS)
        return -1;
    int references = 0;
    for (const CString& extension : extensions.SubkeyNames()) {
        if (CStoreKey::Exists(AssignmentRecordPath(extension, appKey)))
            ++references;
    }
    return references;
}

static void DeleteBelow(LPCSTR parentPath, LPCSTR name)
{
    CStoreKey parent;
    if (parent.Open(parentPath, KEY_WRITE) == ERROR_SUCCESS)
        parent.DeleteTree(name);
}

BOOL CZelvantoDlg::RemoveAssignment()
{
    const ListEntry* entry = SelectedEntry();
    if (!entry)
        return FALSE;
    CString appKey = entry->appKey;
    CString extensionPath = ExtensionRecordPath(m_extension);
    CStoreKey extension;
    if (!OpenOrShowError(extension, extensionPath, KEY_WRITE))
        return FALSE;
    if (extension.DeleteTree(appKey) != ERROR_SUCCESS) {
        ShowStoreError(IDS_ERR_DELETE_KEY, extensionPath);
        return FALSE;
    }
    extension.Close();

    // The assignment is gone; what nothing refers to any more goes with it, silently.
    if (CountAssignments(extensionPath) == 0)
        DeleteBelow(ExtensionsKeyPath(), m_extension);
    if (CountReferences(appKey) == 0)
        DeleteBelow(ApplicationsKeyPath(), appKey);
    return TRUE;
}

void CZelvantoDlg::OnDefault()
{
    int selected = m_appList.GetNextItem(-1, LVNI_SELECTED);
    if (selected < 0)
        return;
    // Another copy may have removed the selected assignment: then nothing changes, here or in the store.
    const ListEntry* chosen = reinterpret_cast<ListEntry*>(m_appList.GetItemData(selected));
    CStoreKey chosenAssignment;
    if (!OpenOrShowError(chosenAssignment, AssignmentRecordPath(m_extension, chosen->appKey), KEY_WRITE))
        return;
    chosenAssignment.Close();
    for (int i = 0; i < m_appList.GetItemCount(); ++i) {
        ListEntry* entry = reinterpret_cast<ListEntry*>(m_appList.GetItemData(i));
        entry->isDefault = i == selected && !entry->isDefault;
        CStoreKey assignment;
        if (assignment.Open(AssignmentRecordPath(m_extension, entry->appKey), KEY_WRITE) == ERROR_SUCCESS)
            assignment.WriteDword("Default", entry->isDefault ? 1 : 0);
    }
}
