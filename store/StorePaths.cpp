#include "StorePaths.h"

#include "CWinApp.h"

// Vendor key and profile name come first; the names are inserted as they are: no escaping, no change
// of case. A format uses as many of the names as it has places for.
static CString FormatPath(LPCSTR format, LPCSTR first = "", LPCSTR second = "")
{
    CString path;
    path.Format(format, AfxGetApp()->m_pszRegistryKey, AfxGetApp()->m_pszProfileName, first, second);
    return path;
}

CString ApplicationRecordPath(LPCSTR appKey)
{
    return FormatPath("Software\\%s\\%s\\Applications\\%s", appKey);
}

CString ApplicationsKeyPath()
{
    return FormatPath("Software\\%s\\%s\\Applications");
}

CString ExtensionRecordPath(LPCSTR extension)
{
    return FormatPath("Software\\%s\\%s\\Extensions\\%s", extension);
}

CString ExtensionsKeyPath()
{
    return FormatPath("Software\\%s\\%s\\Extensions");
}

CString AssignmentRecordPath(LPCSTR extension, LPCSTR appKey)
{
    return FormatPath("Software\\%s\\%s\\Extensions\\%s\\%s", extension, appKey);
}

// A mutex name holds no backslash past its namespace.
CString StoreMutexName()
{
    return FormatPath("Local\\%s.%s.Store");
}
