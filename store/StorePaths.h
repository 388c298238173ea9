// The five key paths of the association store, below HKEY_CURRENT_USER, made anew for every use.
#pragma once
#include "CString.h"

CString ApplicationRecordPath(LPCSTR appKey);
CString ApplicationsKeyPath();
CString ExtensionRecordPath(LPCSTR extension);
CString ExtensionsKeyPath();
CString AssignmentRecordPath(LPCSTR extension, LPCSTR appKey);

// The name of the mutex that every copy of the program holds while it changes this store.
CString StoreMutexName();
