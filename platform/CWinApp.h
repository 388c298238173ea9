// The application object: names the program and its registry store, and runs InitInstance.
#pragma once
#include "AfxGlobals.h"
#include "CWnd.h"

class CWinApp
{
public:
    CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    virtual BOOL InitInstance() = 0;

    // Keeps the vendor key; the application name becomes the profile name.
    void SetRegistryKey(LPCSTR registryKey);

    LPCSTR m_pszAppName = nullptr;
    LPCSTR m_pszRegistryKey = nullptr;
    LPCSTR m_pszProfileName = nullptr;
    CWnd* m_pMainWnd = nullptr;

private:
    CString m_strAppName;
    CString m_strRegistryKey;
};

// The process entry hands control to the one application object.
int AfxWinMain();
