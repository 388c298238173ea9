// ANSI string with the parts of the framework's CString the program uses.
#pragma once
#include <windows.h>

#include <cstdarg>
#include <string>

class CString
{
public:
    CString() = default;
    CString(LPCSTR text)
        : m_text(text ? text : "")
    {
    }
    CString(LPCSTR text, int length)
        : m_text(text, length)
    {
    }
    // Converts into the ANSI code page the process runs with.
    explicit CString(LPCWSTR text);

    operator LPCSTR() const { return m_text.c_str(); }
    int GetLength() const { return static_cast<int>(m_text.size()); }
    BOOL IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    int Compare(LPCSTR other) const { return m_text.compare(other); }

    CString& operator+=(LPCSTR text)
    {
        m_text += text;
        return *this;
    }
    CString& operator=(LPCSTR text)
    {
        m_text = text ? text : "";
        return *this;
    }
    friend CString operator+(const CString& left, LPCSTR right)
    {
        CString result(left);
        result += right;
        return result;
    }
    friend bool operator==(const CString& left, LPCSTR right) { return left.m_text == right; }

    BOOL LoadString(UINT id);
    void Format(LPCSTR format, ...);
    int Replace(LPCSTR oldText, LPCSTR newText);

private:
    std::string m_text;
};
