// What the Edit command reads and writes: an application's name and path, and its assignment's parameters.
#include "AssignmentStore.h"

#include "ExecutablePath.h"
#include "StoreKey.h"
#include "StoreLock.h"
#include "StorePaths.h"
#include "resource.h"

StoreResult CAssignmentStore::ReadForEdit(CString appKey, EditValues& values) const
{
    CString applicationPath = ApplicationRecordPath(appKey);
    CString assignmentPath = AssignmentRecordPath(m_extension, appKey);
    // Opened for writing too, so a record that cannot take the edit is told before the dialog shows.
    CStoreKey application;
    if (application.Open(applicationPath, KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
        return { IDS_ERR_OPEN_KEY, applicationPath };
    CStoreKey assignment;
    if (assignment.Open(assignmentPath, KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
        return { IDS_ERR_OPEN_KEY, assignmentPath };
    if (application.ReadString("DisplayName", values.displayName) != ERROR_SUCCESS
        || application.ReadString("Path", values.path) != ERROR_SUCCESS)
        return { IDS_ERR_READ_KEY, applicationPath };
    // The optional parameters count as empty when they cannot be read.
    assignment.ReadString("Parameters", values.parameters);
    return {};
}

// Writes the text when it differs from the one read, if only in letter case; a failure is told and the next
// text is written all the same. A record that did not open fails every write.
static void WriteChanged(const CStoreKey& key, LPCSTR keyPath, LPCSTR name, const CString& text,
    const CString& read, EditOutcome& outcome)
{
    if (text.Compare(read) == 0)
        return;
    if (key.WriteString(name, text) != ERROR_SUCCESS) {
        outcome.failures.push_back({ IDS_ERR_WRITE_KEY, keyPath });
        return;
    }
    outcome.written = true;
}

EditOutcome CAssignmentStore::WriteEdit(
    CString appKey, const EditValues& read, const EditValues& edited) const
{
    CStoreLock lock;
    CString applicationPath = ApplicationRecordPath(appKey);
    CString assignmentPath = AssignmentRecordPath(m_extension, appKey);
    CStoreKey application;
    application.Open(applicationPath, KEY_WRITE);
    CStoreKey assignment;
    assignment.Open(assignmentPath, KEY_WRITE);
    // A path pasted with its quotes is stored without them; an unchanged one stays as it was stored.
    CString path = edited.path.Compare(read.path) == 0 ? read.path : Unquoted(edited.path);
    EditOutcome outcome;
    WriteChanged(application, applicationPath, "DisplayName", edited.displayName, read.displayName, outcome);
    WriteChanged(application, applicationPath, "Path", path, read.path, outcome);
    WriteChanged(assignment, assignmentPath, "Parameters", edited.parameters, read.parameters, outcome);
    return outcome;
}
