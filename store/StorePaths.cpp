#include "StorePaths.h"

#include "CWinApp.h"

// Names are inserted as they are: no escaping, no change of case.
static LPCSTR Vendor()
{
    return AfxGetApp()->m_pszRegistryKey;
}

static LPCSTR Profile()
{
    return AfxGetApp()->m_pszProfileName;
}

CString ApplicationRecordPath(LPCSTR appKey)
{
    CString path;
    path.Format("Software\\%s\\%s\\Applications\\%s", Vendor(), Profile(), appKey);
    return path;
}

CString ApplicationsKeyPath()
{
    CString path;
    path.Format("Software\\%s\\%s\\Applications", Vendor(), Profile());
    return path;
}

CString ExtensionRecordPath(LPCSTR extension)
{
    CString path;
    path.Format("Software\\%s\\%s\\Extensions\\%s", Vendor(), Profile(), extension);
    return path;
}

CString ExtensionsKeyPath()
{
    CString path;
    path.Format("Software\\%s\\%s\\Extensions", Vendor(), Profile());
    return path;
}

CString AssignmentRecordPath(LPCSTR extension, LPCSTR appKey)
{
    CString path;
    path.Format("Software\\%s\\%s\\Extensions\\%s\\%s", Vendor(), Profile(), extension, appKey);
    return path;
}
