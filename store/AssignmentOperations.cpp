// Adding and removing an assignment, and setting the default: each one step for every copy of the program.
#include "AssignmentStore.h"

#include "ExecutablePath.h"
#include "StoreKey.h"
#include "StoreLock.h"
#include "StorePaths.h"
#include "resource.h"

// The app key for a file name's n-th application: the name itself, then "name (2)", "name (3)", ...
static CString NumberedKey(const CString& fileName, int number)
{
    if (number == 1)
        return fileName;
    CString appKey;
    appKey.Format("%s (%d)", static_cast<LPCSTR>(fileName), number);
    return appKey;
}

// Writes both values into the record, made if missing; a record it cannot complete is taken away again, so
// no record without its values is left behind.
static StoreResult WriteApplication(LPCSTR appKey, LPCSTR path, LPCSTR displayName)
{
    CString applicationPath = ApplicationRecordPath(appKey);
    CStoreKey application;
    if (application.Create(applicationPath) != ERROR_SUCCESS)
        return { IDS_ERR_CREATE_KEY, applicationPath };
    if (application.WriteString("Path", path) == ERROR_SUCCESS
        && application.WriteString("DisplayName", displayName) == ERROR_SUCCESS)
        return {};
    application.Close();
    CStoreKey applications;
    if (applications.Open(ApplicationsKeyPath(), KEY_WRITE) == ERROR_SUCCESS)
        applications.DeleteTree(appKey);
    return { IDS_ERR_WRITE_KEY, applicationPath };
}

// What the record of an app key holds for an executable. A record without a readable path or name, as an Add
// cut short or a hand edit leaves it, counts as missing.
enum class ApplicationRecord { Missing, SamePath, OtherPath };

static ApplicationRecord FindApplication(LPCSTR appKey, LPCSTR path)
{
    CStoreKey application;
    if (application.Open(ApplicationRecordPath(appKey), KEY_READ) != ERROR_SUCCESS)
        return ApplicationRecord::Missing;
    CString storedPath;
    CString storedName;
    if (ReadExecutablePath(application, storedPath) != ERROR_SUCCESS
        || application.ReadString("DisplayName", storedName) != ERROR_SUCCESS)
        return ApplicationRecord::Missing;
    return IsSamePath(storedPath, path) ? ApplicationRecord::SamePath : ApplicationRecord::OtherPath;
}

// The application of this executable: the record of its file name that holds its path, in any letter case,
// reused as it is; another path there gets the next numbered key, so two programs of one file name never
// share a record.
static StoreResult FindOrWriteApplication(LPCSTR path, LPCSTR fileName, LPCSTR displayName, CString& appKey)
{
    for (int number = 1;; ++number) {
        appKey = NumberedKey(fileName, number);
        ApplicationRecord record = FindApplication(appKey, path);
        if (record == ApplicationRecord::Missing)
            return WriteApplication(appKey, path, displayName);
        if (record == ApplicationRecord::SamePath)
            return {};
    }
}

StoreResult CAssignmentStore::Add(CString path, CString fileName, CString displayName) const
{
    CStoreLock lock;
    CString appKey;
    StoreResult application = FindOrWriteApplication(path, fileName, displayName, appKey);
    if (!application.Done())
        return application;
    CString assignmentPath = AssignmentRecordPath(m_extension, appKey);
    if (CStoreKey::Exists(assignmentPath))
        return { IDS_ASSIGNMENT_EXISTS, "" };
    CStoreKey assignment;
    if (assignment.Create(assignmentPath) != ERROR_SUCCESS)
        return { IDS_ERR_CREATE_KEY, assignmentPath };
    if (assignment.WriteDword("Default", 0) != ERROR_SUCCESS)
        return { IDS_ERR_WRITE_KEY, assignmentPath };
    return {};
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

// Deletes the record only while it has no subkey: one there is another assignment, which stays.
static void DeleteIfEmpty(LPCSTR parentPath, LPCSTR name)
{
    CStoreKey parent;
    if (parent.Open(parentPath, KEY_WRITE) == ERROR_SUCCESS)
        parent.DeleteKey(name);
}

StoreResult CAssignmentStore::Remove(CString appKey) const
{
    CStoreLock lock;
    CString extensionPath = ExtensionRecordPath(m_extension);
    CStoreKey extension;
    if (extension.Open(extensionPath, KEY_WRITE) != ERROR_SUCCESS)
        return { IDS_ERR_OPEN_KEY, extensionPath };
    if (extension.DeleteTree(appKey) != ERROR_SUCCESS)
        return { IDS_ERR_DELETE_KEY, extensionPath };
    extension.Close();
    // The assignment is gone; what nothing refers to any more goes with it, silently.
    DeleteIfEmpty(ExtensionsKeyPath(), m_extension);
    if (CountReferences(appKey) == 0)
        DeleteIfEmpty(ApplicationsKeyPath(), appKey);
    return {};
}

StoreResult CAssignmentStore::SetDefault(const std::vector<ListEntry*>& entries, size_t chosen) const
{
    CStoreLock lock;
    // Another copy may have removed the chosen assignment: then nothing changes, here or in the store.
    CString chosenPath = AssignmentRecordPath(m_extension, entries[chosen]->appKey);
    CStoreKey chosenAssignment;
    if (chosenAssignment.Open(chosenPath, KEY_WRITE) != ERROR_SUCCESS)
        return { IDS_ERR_OPEN_KEY, chosenPath };
    chosenAssignment.Close();
    for (size_t index = 0; index < entries.size(); ++index) {
        ListEntry* entry = entries[index];
        entry->isDefault = index == chosen && !entry->isDefault;
        CStoreKey assignment;
        if (assignment.Open(AssignmentRecordPath(m_extension, entry->appKey), KEY_WRITE) == ERROR_SUCCESS)
            assignment.WriteDword("Default", entry->isDefault ? 1 : 0);
    }
    return {};
}
