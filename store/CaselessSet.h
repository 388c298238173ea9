// A set of names or paths compared without regard to letter case, as Windows compares key names and paths.
#pragma once
#include "CString.h"

#include <set>
#include <string>
#include <vector>

class CaselessSet
{
public:
    CaselessSet() = default;
    explicit CaselessSet(const std::vector<CString>& texts);

    // Whether the text was new to the set.
    bool Add(LPCSTR text);
    bool Contains(LPCSTR text) const;

    // Upper case letter by letter, as the registry and the file system fold names.
    static std::wstring Folded(LPCSTR text);

private:
    std::set<std::wstring> m_folded;
};
