// The record behind one item of the chooser's list.
#pragma once
#include "CString.h"

#include <optional>

struct ListEntry {
    CString appKey; // name of the assignment record, and of the application record
    bool isDefault; // "Default" read as exactly 1 when the list was loaded
    // "Path" as the list read it, unexpanded; none when it could not be read. A change checks it is still
    // there.
    std::optional<CString> listedPath;
};
