// What a change checks under the store's lock before it acts: that the records are still the ones the window
// listed, whatever another copy did meanwhile.
#pragma once
#include "ListEntry.h"

#include <optional>

// The application record's "Path" as stored, unexpanded; none when the record or the value cannot be read.
std::optional<CString> ReadStoredPath(LPCSTR appKey);

// "Default" read as exactly 1.
bool IsDefault(LPCSTR extension, LPCSTR appKey);

// The assignment record is there, and its application's "Path" is the one listed.
bool IsAsListed(LPCSTR extension, const ListEntry& entry);
