// The extension rule: the text after the last dot of a path's file name.
#pragma once
#include "CString.h"

CString GetFileExtension(CString path);
