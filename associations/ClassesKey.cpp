#include "ClassesKey.h"

#include "CaselessSet.h"

LONG CClassesKey::Open(LPCSTR path)
{
    CString classesPath = CString("Software\\Classes\\") + path;
    m_hasUsers = m_users.OpenBelow(HKEY_CURRENT_USER, classesPath, KEY_READ) == ERROR_SUCCESS;
    m_hasMachines = m_machines.OpenBelow(HKEY_LOCAL_MACHINE, classesPath, KEY_READ) == ERROR_SUCCESS;
    return Opened();
}

LONG CClassesKey::OpenBelow(const CClassesKey& parent, LPCSTR path)
{
    m_hasUsers = parent.m_hasUsers && m_users.OpenBelow(parent.m_users, path, KEY_READ) == ERROR_SUCCESS;
    m_hasMachines
        = parent.m_hasMachines && m_machines.OpenBelow(parent.m_machines, path, KEY_READ) == ERROR_SUCCESS;
    return Opened();
}

LONG CClassesKey::Opened()
{
    return m_hasUsers || m_hasMachines ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

std::vector<CString> CClassesKey::SubkeyNames() const
{
    std::vector<CString> names;
    if (m_hasUsers)
        names = m_users.SubkeyNames();
    if (!m_hasMachines)
        return names;
    CaselessSet usersNames(names);
    for (const CString& name : m_machines.SubkeyNames()) {
        if (!usersNames.Contains(name))
            names.push_back(name);
    }
    return names;
}
