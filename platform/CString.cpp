#include "CString.h"

#include "AfxGlobals.h"

#include <cstdio>
#include <vector>

CString::CString(LPCWSTR text)
{
    int size = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return;
    m_text.assign(size - 1, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, &m_text[0], size, nullptr, nullptr);
}

BOOL CString::LoadString(UINT id)
{
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCE((id >> 4) + 1), RT_STRING);
    LPCWSTR resource = nullptr;
    // A zero buffer size hands back a pointer into the resource itself, so no length limit applies.
    int length = ::LoadStringW(module, id, reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0) {
        m_text.clear();
        return FALSE;
    }
    int size = ::WideCharToMultiByte(CP_ACP, 0, resource, length, nullptr, 0, nullptr, nullptr);
    m_text.assign(size, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, resource, length, &m_text[0], size, nullptr, nullptr);
    return TRUE;
}

void CString::Format(LPCSTR format, ...)
{
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::vector<char> buffer(length + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    va_end(args);
    m_text.assign(buffer.data(), length);
}

int CString::Replace(LPCSTR oldText, LPCSTR newText)
{
    const std::string from(oldText);
    const std::string to(newText);
    if (from.empty())
        return 0;
    int count = 0;
    // Searching on behind the inserted text keeps it from being replaced again.
    for (size_t at = m_text.find(from); at != std::string::npos; at = m_text.find(from, at + to.size())) {
        m_text.replace(at, from.size(), to);
        ++count;
    }
    return count;
}
