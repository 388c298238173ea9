#include "ClassesKey.h"

#include "store/CaselessSet.h"

LONG CClassesKey::Open(LPCSTR path)
{
    CString classesPath = CString("Software\\Classes\\") + path;
    m_hasUsers = m_users.OpenBelow(HKEY_CURRENT_USER, classesPath, KEY_READ) == ERROR_SUCCESS;
    m_hasMachines = m_machines.OpenBelow(HKEY_LOCAL_MACHINE, classesPath, KEY_READ) == ERROR_SUCCESS;
    return m_hasUsers || m_hasMachines ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG CClassesKey::OpenBelow(const CClassesKey& parent, LPCSTR path)
{
    return OpenSides(parent, path, true, true);
}

LONG CClassesKey::OpenBelow(const CClassesKey& parent, const ClassesSubkey& subkey, LPCSTR path)
{
    return OpenSides(parent, subkey.name + "\\" + path, subkey.inUsers, subkey.inMachines);
}

LONG CClassesKey::OpenSides(const CClassesKey& parent, LPCSTR path, bool inUsers, bool inMachines)
{
    m_hasUsers
        = inUsers && parent.m_hasUsers && m_users.OpenBelow(parent.m_users, path, KEY_READ) == ERROR_SUCCESS;
    m_hasMachines = inMachines && parent.m_hasMachines
        && m_machines.OpenBelow(parent.m_machines, path, KEY_READ) == ERROR_SUCCESS;
    return m_hasUsers || m_hasMachines ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

std::vector<ClassesSubkey> CClassesKey::Subkeys() const
{
    std::vector<CString> usersNames = m_hasUsers ? m_users.SubkeyNames() : std::vector<CString>();
    std::vector<CString> machinesNames = m_hasMachines ? m_machines.SubkeyNames() : std::vector<CString>();
    CaselessSet inUsers(usersNames);
    CaselessSet inMachines(machinesNames);
    std::vector<ClassesSubkey> subkeys;
    for (const CString& name : usersNames)
        subkeys.push_back({ name, true, inMachines.Contains(name) });
    for (const CString& name : machinesNames) {
        if (!inUsers.Contains(name))
            subkeys.push_back({ name, false, true });
    }
    return subkeys;
}

std::vector<CString> CClassesKey::SubkeyNames() const
{
    std::vector<CString> names;
    for (const ClassesSubkey& subkey : Subkeys())
        names.push_back(subkey.name);
    return names;
}
