#include "CWinApp.h"

static CWinApp* g_pApp = nullptr;

CWinApp* AfxGetApp()
{
    return g_pApp;
}

// A path of MAX_PATH characters in UTF-8, which takes up to three bytes for a character.
static const DWORD kPathCapacity = MAX_PATH * 3;

// The executable's base name as the system reports its path.
static CString ModuleBaseName()
{
    char path[kPathCapacity] = "";
    ::GetModuleFileNameA(nullptr, path, kPathCapacity);
    LPSTR name = path;
    for (LPSTR at = path; *at; at = ::CharNextA(at)) {
        if (*at == '\\' || *at == '/')
            name = at + 1;
    }
    LPSTR dot = nullptr;
    for (LPSTR at = name; *at; at = ::CharNextA(at)) {
        if (*at == '.')
            dot = at;
    }
    if (dot)
        *dot = '\0';
    return CString(name);
}

CWinApp::CWinApp()
    : m_strAppName(ModuleBaseName())
{
    m_pszAppName = m_strAppName;
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    g_pApp = nullptr;
}

void CWinApp::SetRegistryKey(LPCSTR registryKey)
{
    m_strRegistryKey = registryKey;
    m_pszRegistryKey = m_strRegistryKey;
    m_pszProfileName = m_pszAppName;
}

int AfxWinMain()
{
    // There is no message loop beyond the modal dialogs: whatever InitInstance answers, the run ends.
    if (CWinApp* app = AfxGetApp())
        app->InitInstance();
    return 0;
}
