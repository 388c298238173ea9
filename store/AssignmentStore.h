// The applications assigned to one extension, as the chooser lists, changes and starts them. It knows no
// window: every operation answers what happened, and the caller tells the user.
#pragma once
#include "CPoint.h"
#include "CaselessSet.h"
#include "ListEntry.h"
#include "StoreResult.h"

#include <optional>
#include <vector>

// One application as the list shows it.
struct ListedApplication {
    CString displayName;
    ListEntry entry;
    std::optional<CString> iconPath; // the executable as it is started; none when "Path" cannot be read
    bool selected = false;
};

// An application to assign, as the picker or Windows' own associations name it.
struct NewApplication {
    CString path; // as it is to be stored: with its variables, if it names any
    CString fileName; // the executable's file name, which its app key starts with
    CString displayName;
    CString parameters; // none: the target file is passed in quotes
};

// The texts the Edit command shows and writes back.
struct EditValues {
    CString displayName;
    CString path;
    CString parameters;
};

// What the Edit command's writes did: whether any went through, and each that failed.
struct EditOutcome {
    bool written = false;
    std::vector<StoreResult> failures;
};

// What a launch hands to the shell.
struct LaunchCommand {
    CString program; // the executable's path in double quotes
    CString parameters;
};

// Whether the first name comes before the second in the list: without regard to case, as Windows sorts.
bool ComesBefore(LPCSTR first, LPCSTR second);

class CAssignmentStore
{
public:
    explicit CAssignmentStore(CString extension);

    // In the order of their display names, the last default the store names selected.
    std::vector<ListedApplication> List() const;
    // The programs assigned to the extension, as they are started, compared in any letter case.
    CaselessSet AssignedPrograms() const;

    // Each change is made under the store's lock, on the records the window showed or on none: another copy's
    // change meanwhile is answered as Stale, a lock held too long as Busy.

    // Assigns the executable, to the record of its file name that holds its path, or to a new one, whose key
    // comes back.
    StoreResult Add(const NewApplication& application, CString& appKey) const;
    // Removes the assignment, and the records nothing refers to any more.
    StoreResult Remove(const ListEntry& entry) const;
    // Toggles the chosen entry's default and clears every other assignment's; the entries then show the
    // store.
    StoreResult SetDefault(const std::vector<ListEntry*>& entries, size_t chosen) const;

    // The stored texts as they are, unexpanded.
    StoreResult ReadForEdit(CString appKey, EditValues& values) const;
    // Writes each text that differs from the one read, while the records still hold what was read.
    EditOutcome WriteEdit(CString appKey, const EditValues& read, const EditValues& edited) const;

    StoreResult ReadLaunch(CString appKey, CString targetFile, LaunchCommand& command) const;

    // Where the chooser stood for the extension: all four values, on a monitor; none otherwise.
    std::optional<CRect> WindowRect() const;
    // Kept only while the extension has assignments: its record is never made for it.
    void SaveWindowRect(const CRect& rect) const;

private:
    CString m_extension;
};
