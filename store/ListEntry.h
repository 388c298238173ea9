// The record behind one item of the chooser's list.
#pragma once
#include "CString.h"

struct ListEntry {
    CString appKey; // name of the assignment record, and of the application record
    bool isDefault; // "Default" read as exactly 1 when the list was loaded
};
