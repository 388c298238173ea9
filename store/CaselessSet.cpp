#include "CaselessSet.h"

#include "CA2W.h"

CaselessSet::CaselessSet(const std::vector<CString>& texts)
{
    for (const CString& text : texts)
        Add(text);
}

bool CaselessSet::Add(LPCSTR text)
{
    return m_folded.insert(Folded(text)).second;
}

bool CaselessSet::Contains(LPCSTR text) const
{
    return m_folded.count(Folded(text)) > 0;
}

std::wstring CaselessSet::Folded(LPCSTR text)
{
    std::wstring folded(static_cast<LPCWSTR>(CA2W(text)));
    ::CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
    return folded;
}
