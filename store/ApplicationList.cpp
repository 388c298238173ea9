// The applications of an extension as the chooser lists them: what is listed, in which order, what is
// selected.
#include "AssignmentStore.h"

#include "CA2W.h"
#include "ExecutablePath.h"
#include "ListedRecord.h"
#include "StoreKey.h"
#include "StoreLock.h"
#include "StorePaths.h"

#include <algorithm>
#include <string>

CAssignmentStore::CAssignmentStore(CString extension)
    : m_extension(extension)
{
}

// An application is listed when its record yields a display name; its path is read while the record is open,
// as stored for the changes' checks and as started for the icon.
static bool ReadApplication(LPCSTR extension, const CString& appKey, ListedApplication& application)
{
    application.entry = { appKey, IsDefault(extension, appKey), std::nullopt };
    CStoreKey record;
    if (record.Open(ApplicationRecordPath(appKey), KEY_READ) != ERROR_SUCCESS)
        return false;
    if (record.ReadString("DisplayName", application.displayName) != ERROR_SUCCESS)
        return false;
    CString storedPath;
    DWORD type = REG_NONE;
    if (record.ReadString("Path", storedPath, &type) != ERROR_SUCCESS)
        return true;
    application.entry.listedPath = storedPath;
    application.iconPath = ExecutablePathOf(storedPath, type);
    return true;
}

// Of several defaults, the last the store names is selected, as if each had been selected in its turn.
static void SelectLastDefault(std::vector<ListedApplication>& applications)
{
    auto lastDefault = std::find_if(applications.rbegin(), applications.rend(),
        [](const ListedApplication& application) { return application.entry.isDefault; });
    if (lastDefault != applications.rend())
        lastDefault->selected = true;
}

// Compared in UTF-16, so every code page the process runs with sorts alike.
bool ComesBefore(LPCSTR first, LPCSTR second)
{
    return ::lstrcmpiW(CA2W(first), CA2W(second)) < 0;
}

// The display names ascending, without regard to case, compared in UTF-16 as Windows sorts its own lists.
static void SortByName(std::vector<ListedApplication>& applications)
{
    std::vector<std::wstring> names;
    std::vector<size_t> order;
    for (size_t index = 0; index < applications.size(); ++index) {
        names.push_back(LPCWSTR(CA2W(applications[index].displayName)));
        order.push_back(index);
    }
    std::stable_sort(order.begin(), order.end(), [&names](size_t first, size_t second) {
        return ::lstrcmpiW(names[first].c_str(), names[second].c_str()) < 0;
    });
    std::vector<ListedApplication> sorted;
    for (size_t index : order)
        sorted.push_back(std::move(applications[index]));
    applications.swap(sorted);
}

// Read under the store's lock, so no other copy's change is seen half made and no delete shifts the names
// while they are read. A lock another copy holds for too long is not waited for: the list shows the store as
// it is then.
std::vector<ListedApplication> CAssignmentStore::List() const
{
    CStoreLock lock;
    std::vector<ListedApplication> applications;
    CStoreKey record;
    if (record.Open(ExtensionRecordPath(m_extension), KEY_READ) != ERROR_SUCCESS)
        return applications;
    for (const CString& appKey : record.SubkeyNames()) {
        ListedApplication application;
        if (ReadApplication(m_extension, appKey, application))
            applications.push_back(application);
    }
    record.Close();
    SelectLastDefault(applications);
    SortByName(applications);
    return applications;
}

CaselessSet CAssignmentStore::AssignedPrograms() const
{
    CaselessSet programs;
    CStoreKey record;
    if (record.Open(ExtensionRecordPath(m_extension), KEY_READ) != ERROR_SUCCESS)
        return programs;
    for (const CString& appKey : record.SubkeyNames()) {
        CStoreKey application;
        CString path;
        if (application.Open(ApplicationRecordPath(appKey), KEY_READ) == ERROR_SUCCESS
            && ReadExecutablePath(application, path) == ERROR_SUCCESS)
            programs.Add(path);
    }
    return programs;
}
