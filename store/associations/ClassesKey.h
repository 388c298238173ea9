// One key of the file classes as Windows' merged HKEY_CLASSES_ROOT shows it: the user's Software\Classes over
// the machine's. Wine's HKEY_CLASSES_ROOT shows the machine's alone, so the two are read here.
#pragma once
#include "store/StoreKey.h"

#include <vector>

// A subkey's name and the roots that hold it.
struct ClassesSubkey {
    CString name;
    bool inUsers = false;
    bool inMachines = false;
};

class CClassesKey
{
public:
    // The path is below Software\Classes. The key exists when either root has it.
    LONG Open(LPCSTR path);
    LONG OpenBelow(const CClassesKey& parent, LPCSTR path);
    // The path below one of the parent's subkeys, opened only in the roots that hold that subkey: where keys
    // are many, no open is spent on one known to be absent.
    LONG OpenBelow(const CClassesKey& parent, const ClassesSubkey& subkey, LPCSTR path);

    // The values are the user's key's wherever the user has the key: the user's entry wins.
    const CStoreKey& Values() const { return m_hasUsers ? m_users : m_machines; }
    // The subkeys of both, the user's first, each name once.
    std::vector<ClassesSubkey> Subkeys() const;
    std::vector<CString> SubkeyNames() const;

private:
    LONG OpenSides(const CClassesKey& parent, LPCSTR path, bool inUsers, bool inMachines);

    CStoreKey m_users;
    CStoreKey m_machines;
    bool m_hasUsers = false;
    bool m_hasMachines = false;
};
