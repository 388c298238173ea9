// The name Windows shows for a program, from the registry and from the program's file.
#pragma once
#include "CString.h"

class CStoreKey;

// The program's name: Applications\<its file name>'s FriendlyAppName, else its version FileDescription, else
// the file title given. Each is taken only when the store can keep it.
CString ProgramName(LPCSTR path, LPCSTR fileTitle);

// The key's "FriendlyAppName", an indirect string loaded; empty when there is none.
CString ReadFriendlyAppName(const CStoreKey& key);

// An indirect string ("@file,-id") loaded from the file's string table in the user's language; any other
// text as it is. Empty when the string cannot be loaded.
CString LoadedText(const CString& text);

// The part of a path after its last backslash, and that without its extension.
CString FileNameOf(LPCSTR path);
CString FileTitleOf(LPCSTR path);
