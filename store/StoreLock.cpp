#include "StoreLock.h"

#include "CA2W.h"
#include "StorePaths.h"

// A copy that ended while holding the mutex leaves it abandoned, which hands it to the next copy as usual.
CStoreLock::CStoreLock()
    : m_hMutex(::CreateMutexW(nullptr, FALSE, CA2W(StoreMutexName())))
{
    if (!m_hMutex)
        return;
    DWORD waited = ::WaitForSingleObject(m_hMutex, kLongestWait);
    m_held = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

CStoreLock::~CStoreLock()
{
    if (!m_hMutex)
        return;
    if (m_held)
        ::ReleaseMutex(m_hMutex);
    ::CloseHandle(m_hMutex);
}
