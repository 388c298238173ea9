// An application's "Path" as the launch and the icon use it, and the rules that make a typed path one.
#pragma once
#include "CString.h"

class CStoreKey;

// Reads "Path" from the application record: a REG_EXPAND_SZ path with its variables expanded, and one that
// stands in double quotes without them. The status of the read.
LONG ReadExecutablePath(const CStoreKey& application, CString& path);
// The program a stored "Path" of that type names.
CString ExecutablePathOf(const CString& storedPath, DWORD type);

// The text with its environment variables expanded; unchanged when that fails.
CString Expanded(LPCSTR text);

// A path in one pair of double quotes, as Explorer's "Copy as path" gives it, is the path inside: a file name
// never holds a double quote.
CString Unquoted(const CString& path);

// Whether the text names an environment variable, as "%ProgramFiles%" does: such a path is stored as
// REG_EXPAND_SZ, so it is expanded where it is used.
bool HoldsVariable(LPCSTR text);

// Windows finds a file whatever the letter case of its path.
bool IsSamePath(LPCSTR first, LPCSTR second);
