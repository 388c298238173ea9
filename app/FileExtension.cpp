#include "FileExtension.h"

CString GetFileExtension(CString path)
{
    // CharNextA steps over double-byte characters whole, so a trail byte is never taken for a backslash.
    LPCSTR lastDot = nullptr;
    LPCSTR lastBackslash = nullptr;
    for (LPCSTR at = path; *at; at = ::CharNextA(at)) {
        if (*at == '.')
            lastDot = at;
        else if (*at == '\\')
            lastBackslash = at;
    }
    if (!lastDot || lastDot < lastBackslash)
        return CString();
    return CString(lastDot + 1);
}
