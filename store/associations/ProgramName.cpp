#include "ProgramName.h"

#include "CA2W.h"
#include "ClassesKey.h"
#include "store/ExecutablePath.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static const char kIndirect = '@';

CString ReadFriendlyAppName(const CStoreKey& key)
{
    CString name;
    if (key.ReadString("FriendlyAppName", name) != ERROR_SUCCESS)
        return CString();
    return LoadedText(name);
}

// Loaded as data, so none of a library's code runs, and with its language resources as the shell loads them.
// Wine's SHLoadIndirectString runs the library and leaves its variables unexpanded.
static CString LoadedString(LPCSTR file, int id)
{
    HMODULE module = ::LoadLibraryExW(
        CA2W(Expanded(file)), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module)
        return CString();
    LPCWSTR resource = nullptr;
    // A zero buffer size hands back a pointer into the resource itself, which is not terminated.
    int length = ::LoadStringW(module, id, reinterpret_cast<LPWSTR>(&resource), 0);
    CString text = length > 0 ? CString(std::wstring(resource, length).c_str()) : CString();
    ::FreeLibrary(module);
    return text;
}

CString LoadedText(const CString& text)
{
    LPCSTR source = text;
    if (source[0] != kIndirect)
        return text;
    LPCSTR comma = std::strrchr(source, ',');
    if (!comma || comma[1] != '-')
        return CString();
    CString file(source + 1, static_cast<int>(comma - source - 1));
    return LoadedString(file, std::atoi(comma + 2));
}

static CString FileDescription(LPCSTR path)
{
    CA2W widePath(path);
    DWORD unused = 0;
    DWORD size = ::GetFileVersionInfoSizeW(widePath, &unused);
    if (size == 0)
        return CString();
    std::vector<BYTE> versionInfo(size);
    if (!::GetFileVersionInfoW(widePath, 0, size, versionInfo.data()))
        return CString();
    const WORD* translations = nullptr;
    UINT translationsSize = 0;
    if (!::VerQueryValueW(versionInfo.data(), L"\\VarFileInfo\\Translation",
            reinterpret_cast<void**>(const_cast<WORD**>(&translations)), &translationsSize))
        return CString();
    // Each translation is a language and a code page; the first that describes the file names it.
    for (UINT index = 0; index + 1 < translationsSize / sizeof(WORD); index += 2) {
        WCHAR query[64];
        ::wsprintfW(query, L"\\StringFileInfo\\%04x%04x\\FileDescription", translations[index],
            translations[index + 1]);
        LPCWSTR description = nullptr;
        UINT length = 0;
        if (::VerQueryValueW(versionInfo.data(), query,
                reinterpret_cast<void**>(const_cast<LPWSTR*>(&description)), &length)
            && length > 0 && description[0])
            return CString(description);
    }
    return CString();
}

static CString ApplicationFriendlyName(LPCSTR path)
{
    CClassesKey application;
    if (application.Open(CString("Applications\\") + FileNameOf(path)) != ERROR_SUCCESS)
        return CString();
    return ReadFriendlyAppName(application.Values());
}

CString ProgramName(LPCSTR path, LPCSTR fileTitle)
{
    CString expanded = Expanded(path);
    CString name = ApplicationFriendlyName(expanded);
    if (name.IsEmpty() || !CStoreKey::Fits(name))
        name = FileDescription(expanded);
    if (name.IsEmpty() || !CStoreKey::Fits(name))
        name = fileTitle;
    return name;
}

CString FileNameOf(LPCSTR path)
{
    LPCSTR slash = std::strrchr(path, '\\');
    return slash ? CString(slash + 1) : CString(path);
}

CString FileTitleOf(LPCSTR path)
{
    CString name = FileNameOf(path);
    LPCSTR dot = std::strrchr(name, '.');
    return dot ? CString(name, static_cast<int>(dot - LPCSTR(name))) : name;
}
