// What the Edit command reads and writes: an application's name and path, and its assignment's parameters.
#include "AssignmentStore.h"

#include "ExecutablePath.h"
#include "StoreKey.h"
#include "StoreLock.h"
#include "StorePaths.h"

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

// Whether the records still hold the name and path the dialog read; the path's stored type comes back.
static bool IsAsRead(
    const CStoreKey& application, const CStoreKey& assignment, const EditValues& read, DWORD& pathType)
{
    CString name;
    CString path;
    return assignment.IsOpen() && application.ReadString("DisplayName", name) == ERROR_SUCCESS
        && application.ReadString("Path", path, &pathType) == ERROR_SUCCESS
        && name.Compare(read.displayName) == 0 && path.Compare(read.path) == 0;
}

// Writes the text when it differs from the one read, if only in letter case; a failure is told and the next
// text is written all the same.
static void WriteChanged(const CStoreKey& key, LPCSTR keyPath, LPCSTR name, const CString& text,
    const CString& read, DWORD type, EditOutcome& outcome)
{
    if (text.Compare(read) == 0)
        return;
    if (key.WriteString(name, text, type) != ERROR_SUCCESS) {
        outcome.failures.push_back({ IDS_ERR_WRITE_KEY, keyPath });
        return;
    }
    outcome.written = true;
}

// Nothing is written when another copy changed the application or removed the assignment since the dialog
// read them. A path keeps its variables: one read as REG_EXPAND_SZ, or typed with one, is stored as such.
EditOutcome CAssignmentStore::WriteEdit(
    CString appKey, const EditValues& read, const EditValues& edited) const
{
    EditOutcome outcome;
    CStoreLock lock;
    if (!lock.Held()) {
        outcome.failures.push_back(StoreResult::Busy());
        return outcome;
    }
    CString applicationPath = ApplicationRecordPath(appKey);
    CString assignmentPath = AssignmentRecordPath(m_extension, appKey);
    CStoreKey application;
    application.Open(applicationPath, KEY_READ | KEY_WRITE);
    CStoreKey assignment;
    assignment.Open(assignmentPath, KEY_READ | KEY_WRITE);
    DWORD pathType = REG_NONE;
    if (!IsAsRead(application, assignment, read, pathType)) {
        outcome.failures.push_back(StoreResult::Changed());
        return outcome;
    }
    // A path pasted with its quotes is stored without them; an unchanged one stays as it was stored.
    CString path = edited.path.Compare(read.path) == 0 ? read.path : Unquoted(edited.path);
    DWORD newPathType = pathType == REG_EXPAND_SZ || HoldsVariable(path) ? REG_EXPAND_SZ : REG_SZ;
    WriteChanged(
        application, applicationPath, "DisplayName", edited.displayName, read.displayName, REG_SZ, outcome);
    WriteChanged(application, applicationPath, "Path", path, read.path, newPathType, outcome);
    WriteChanged(
        assignment, assignmentPath, "Parameters", edited.parameters, read.parameters, REG_SZ, outcome);
    return outcome;
}
