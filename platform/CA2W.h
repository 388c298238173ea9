// A text of the code page the process runs with, converted for a call that takes UTF-16, as ATL's CA2W does.
#pragma once
#include <windows.h>

#include <string>

class CA2W
{
public:
    explicit CA2W(LPCSTR text)
    {
        int size = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
        m_text.assign(size, L'\0');
        ::MultiByteToWideChar(CP_ACP, 0, text, -1, m_text.data(), size);
    }
    operator LPCWSTR() const { return m_text.c_str(); }

private:
    std::wstring m_text;
};
