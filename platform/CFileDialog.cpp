#include "CFileDialog.h"

#include "CWnd.h"

// Room for the long paths the system's dialog can hand back.
static const size_t kFileBufferSize = 32768;

CFileDialog::CFileDialog(
    BOOL, LPCSTR defaultExtension, LPCSTR fileName, DWORD flags, LPCSTR filter, CWnd* parent, DWORD, BOOL)
    : m_ofn {}
    , m_pParentWnd(parent)
    , m_file(kFileBufferSize, '\0')
{
    // The system wants the pairs separated by zero bytes instead of bars.
    if (filter) {
        m_filter.assign(filter, filter + ::lstrlenA(filter));
        for (char& c : m_filter) {
            if (c == '|')
                c = '\0';
        }
        m_filter.push_back('\0');
    }
    if (fileName)
        ::lstrcpynA(m_file.data(), fileName, static_cast<int>(m_file.size()));
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.lpstrFilter = filter ? m_filter.data() : nullptr;
    m_ofn.lpstrFile = m_file.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_file.size());
    m_ofn.lpstrDefExt = defaultExtension;
    m_ofn.Flags = flags;
}

INT_PTR CFileDialog::DoModal()
{
    m_ofn.hwndOwner = AfxGetSafeOwner(m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr);
    return ::GetOpenFileNameA(&m_ofn) ? IDOK : IDCANCEL;
}

// The name behind the path's last backslash. The offset the dialog reports is not used: Wine's is wrong for
// a name behind folder names of several bytes a character.
CString CFileDialog::GetFileName() const
{
    LPCSTR path = m_file.data();
    LPCSTR name = path;
    for (LPCSTR at = path; *at; at = ::CharNextA(at)) {
        if (*at == '\\')
            name = at + 1;
    }
    return CString(name);
}

CString CFileDialog::GetFileTitle() const
{
    // The file name without its last extension.
    CString name = GetFileName();
    LPCSTR text = name;
    LPCSTR dot = nullptr;
    for (LPCSTR at = text; *at; at = ::CharNextA(at)) {
        if (*at == '.')
            dot = at;
    }
    return dot ? CString(text, static_cast<int>(dot - text)) : name;
}
