// Adding and removing an assignment, and setting the default: each one step for every copy of the program,
// made only on what the window showed.
#include "AssignmentStore.h"

#include "CaselessSet.h"
#include "ExecutablePath.h"
#include "ListedRecord.h"
#include "StoreKey.h"
#include "StoreLock.h"
#include "StorePaths.h"

// The app key for a file name's n-th application: the name itself, then "name (2)", "name (3)", ...
static CString NumberedKey(const CString& fileName, int number)
{
    if (number == 1)
        return fileName;
    CString appKey;
    appKey.Format("%s (%d)", static_cast<LPCSTR>(fileName), number);
    return appKey;
}

// Whether the app key is the file name's, numbered or not, in any letter case.
static bool IsKeyOf(const CString& appKey, const CString& fileName)
{
    std::wstring key = CaselessSet::Folded(appKey);
    std::wstring name = CaselessSet::Folded(fileName);
    if (key == name)
        return true;
    if (!key.starts_with(name + L" (") || !key.ends_with(L")"))
        return false;
    std::wstring number = key.substr(name.size() + 2, key.size() - name.size() - 3);
    return !number.empty() && number.find_first_not_of(L"0123456789") == std::wstring::npos;
}

// Writes both values into a record it makes; one it cannot complete is taken away again, so no record without
// its values is left behind. Only called for a key that did not exist under the lock, so the record is its
// own. A path that names variables is stored as REG_EXPAND_SZ, so they are expanded where it is used.
static StoreResult WriteApplication(LPCSTR appKey, const NewApplication& application)
{
    CString applicationPath = ApplicationRecordPath(appKey);
    CStoreKey record;
    if (record.Create(applicationPath) != ERROR_SUCCESS)
        return { IDS_ERR_CREATE_KEY, applicationPath };
    DWORD pathType = HoldsVariable(application.path) ? REG_EXPAND_SZ : REG_SZ;
    if (record.WriteString("Path", application.path, pathType) == ERROR_SUCCESS
        && record.WriteString("DisplayName", application.displayName) == ERROR_SUCCESS)
        return {};
    record.Close();
    CStoreKey applications;
    if (applications.Open(ApplicationsKeyPath(), KEY_WRITE) == ERROR_SUCCESS)
        applications.DeleteTree(appKey);
    return { IDS_ERR_WRITE_KEY, applicationPath };
}

// Whether the record is a complete one of this executable. A record without a readable path or name, as an
// Add cut short or a hand edit leaves it, is no one's to reuse.
static bool HoldsPath(LPCSTR appKey, LPCSTR path)
{
    CStoreKey application;
    if (application.Open(ApplicationRecordPath(appKey), KEY_READ) != ERROR_SUCCESS)
        return false;
    CString storedPath;
    CString storedName;
    if (ReadExecutablePath(application, storedPath) != ERROR_SUCCESS
        || application.ReadString("DisplayName", storedName) != ERROR_SUCCESS)
        return false;
    return IsSamePath(storedPath, path);
}

// The application of this executable: any record of its file name, numbered or not, that holds its path is
// reused as it is, so one program never gets two records. Otherwise the first key of the file name that does
// not exist is made; a record that exists is never rewritten, whatever it holds.
static StoreResult FindOrWriteApplication(const NewApplication& application, CString& appKey)
{
    const CString& fileName = application.fileName;
    CString path
        = ExecutablePathOf(application.path, HoldsVariable(application.path) ? REG_EXPAND_SZ : REG_SZ);
    CaselessSet taken;
    CStoreKey applications;
    if (applications.Open(ApplicationsKeyPath(), KEY_READ) == ERROR_SUCCESS) {
        for (const CString& name : applications.SubkeyNames()) {
            if (!IsKeyOf(name, fileName))
                continue;
            if (HoldsPath(name, path)) {
                appKey = name;
                return {};
            }
            taken.Add(name);
        }
    }
    applications.Close();
    int number = 1;
    while (taken.Contains(NumberedKey(fileName, number)))
        ++number;
    appKey = NumberedKey(fileName, number);
    return WriteApplication(appKey, application);
}

// Parameters are written only when given: a new assignment without them passes the target in quotes.
StoreResult CAssignmentStore::Add(const NewApplication& application, CString& appKey) const
{
    CStoreLock lock;
    if (!lock.Held())
        return StoreResult::Busy();
    StoreResult written = FindOrWriteApplication(application, appKey);
    if (!written.Done())
        return written;
    CString assignmentPath = AssignmentRecordPath(m_extension, appKey);
    if (CStoreKey::Exists(assignmentPath))
        return { IDS_ASSIGNMENT_EXISTS, "" };
    CStoreKey assignment;
    if (assignment.Create(assignmentPath) != ERROR_SUCCESS)
        return { IDS_ERR_CREATE_KEY, assignmentPath };
    if (assignment.WriteDword("Default", 0) != ERROR_SUCCESS)
        return { IDS_ERR_WRITE_KEY, assignmentPath };
    if (!application.parameters.IsEmpty()
        && assignment.WriteString("Parameters", application.parameters) != ERROR_SUCCESS)
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

// An assignment another copy removed already leaves nothing to do; one whose application another copy
// replaced is not the one the window showed, and stays.
StoreResult CAssignmentStore::Remove(const ListEntry& entry) const
{
    CStoreLock lock;
    if (!lock.Held())
        return StoreResult::Busy();
    if (!CStoreKey::Exists(AssignmentRecordPath(m_extension, entry.appKey)))
        return {};
    if (!IsAsListed(m_extension, entry))
        return StoreResult::Changed();
    CString extensionPath = ExtensionRecordPath(m_extension);
    CStoreKey extension;
    if (extension.Open(extensionPath, KEY_WRITE) != ERROR_SUCCESS)
        return { IDS_ERR_OPEN_KEY, extensionPath };
    if (extension.DeleteTree(entry.appKey) != ERROR_SUCCESS)
        return { IDS_ERR_DELETE_KEY, extensionPath };
    extension.Close();
    // The assignment is gone; what nothing refers to any more goes with it, silently.
    DeleteIfEmpty(ExtensionsKeyPath(), m_extension);
    if (CountReferences(entry.appKey) == 0)
        DeleteIfEmpty(ApplicationsKeyPath(), entry.appKey);
    return {};
}

// Writes the flag into every assignment record of the extension, listed or not, so the store never holds two
// defaults; the first write that fails is told.
static StoreResult WriteDefaults(LPCSTR extension, const CString& chosenKey, bool makeDefault)
{
    CStoreKey record;
    if (record.Open(ExtensionRecordPath(extension), KEY_READ) != ERROR_SUCCESS)
        return { IDS_ERR_OPEN_KEY, ExtensionRecordPath(extension) };
    std::vector<CString> appKeys = record.SubkeyNames();
    record.Close();
    StoreResult result;
    for (const CString& appKey : appKeys) {
        bool isChosen = CaselessSet::Folded(appKey) == CaselessSet::Folded(chosenKey);
        CString assignmentPath = AssignmentRecordPath(extension, appKey);
        CStoreKey assignment;
        bool written = assignment.Open(assignmentPath, KEY_WRITE) == ERROR_SUCCESS
            && assignment.WriteDword("Default", isChosen && makeDefault ? 1 : 0) == ERROR_SUCCESS;
        if (!written && result.Done())
            result = { IDS_ERR_WRITE_KEY, assignmentPath };
    }
    return result;
}

StoreResult CAssignmentStore::SetDefault(const std::vector<ListEntry*>& entries, size_t chosen) const
{
    CStoreLock lock;
    if (!lock.Held())
        return StoreResult::Busy();
    const ListEntry& chosenEntry = *entries[chosen];
    if (!IsAsListed(m_extension, chosenEntry))
        return StoreResult::Changed();
    StoreResult result = WriteDefaults(m_extension, chosenEntry.appKey, !chosenEntry.isDefault);
    // The entries show what the store holds now, whatever failed.
    for (ListEntry* entry : entries)
        entry->isDefault = IsDefault(m_extension, entry->appKey);
    return result;
}
