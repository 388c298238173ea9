#include "ListedRecord.h"

#include "StoreKey.h"
#include "StorePaths.h"

std::optional<CString> ReadStoredPath(LPCSTR appKey)
{
    CStoreKey application;
    if (application.Open(ApplicationRecordPath(appKey), KEY_READ) != ERROR_SUCCESS)
        return std::nullopt;
    CString path;
    if (application.ReadString("Path", path) != ERROR_SUCCESS)
        return std::nullopt;
    return path;
}

bool IsDefault(LPCSTR extension, LPCSTR appKey)
{
    CStoreKey assignment;
    if (assignment.Open(AssignmentRecordPath(extension, appKey), KEY_READ) != ERROR_SUCCESS)
        return false;
    DWORD value = 0;
    return assignment.ReadDword("Default", value) == ERROR_SUCCESS && value == 1;
}

// Compared to the letter: a path another copy changed only in letter case is another edit all the same.
bool IsAsListed(LPCSTR extension, const ListEntry& entry)
{
    if (!CStoreKey::Exists(AssignmentRecordPath(extension, entry.appKey)))
        return false;
    std::optional<CString> path = ReadStoredPath(entry.appKey);
    if (!path || !entry.listedPath)
        return !path && !entry.listedPath;
    return path->Compare(*entry.listedPath) == 0;
}
