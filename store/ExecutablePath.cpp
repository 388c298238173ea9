#include "ExecutablePath.h"

#include "CA2W.h"
#include "StoreKey.h"

#include <cstring>
#include <string>

// Expanded in UTF-16, so no character of a variable's value is lost to a code page.
CString Expanded(LPCSTR text)
{
    CA2W wide(text);
    DWORD size = ::ExpandEnvironmentStringsW(wide, nullptr, 0);
    std::wstring expanded(size, L'\0');
    if (size == 0 || ::ExpandEnvironmentStringsW(wide, expanded.data(), size) == 0)
        return CString(text);
    return CString(expanded.c_str());
}

LONG ReadExecutablePath(const CStoreKey& application, CString& path)
{
    DWORD type = REG_NONE;
    LONG status = application.ReadString("Path", path, &type);
    if (status != ERROR_SUCCESS)
        return status;
    path = ExecutablePathOf(path, type);
    return ERROR_SUCCESS;
}

CString ExecutablePathOf(const CString& storedPath, DWORD type)
{
    return Unquoted(type == REG_EXPAND_SZ ? Expanded(storedPath) : storedPath);
}

CString Unquoted(const CString& path)
{
    int length = path.GetLength();
    LPCSTR text = path;
    if (length < 2 || text[0] != '"' || text[length - 1] != '"')
        return path;
    return CString(text + 1, length - 2);
}

bool HoldsVariable(LPCSTR text)
{
    LPCSTR opening = ::strchr(text, '%');
    if (!opening)
        return false;
    LPCSTR closing = ::strchr(opening + 1, '%');
    return closing && closing > opening + 1;
}

bool IsSamePath(LPCSTR first, LPCSTR second)
{
    return ::CompareStringOrdinal(CA2W(first), -1, CA2W(second), -1, TRUE) == CSTR_EQUAL;
}
