// Stands in for an application the chooser starts: records the command line it received, as UTF-8.
#include <windows.h>

int main()
{
    wchar_t path[MAX_PATH] = L"";
    if (!::GetEnvironmentVariableW(L"ZELVANTO_RECORD_FILE", path, MAX_PATH - 8))
        return 1;
    // Written under another name first and moved into place, so a reader finds the whole line or nothing.
    wchar_t partial[MAX_PATH] = L"";
    ::wsprintfW(partial, L"%s.part", path);
    LPCWSTR line = ::GetCommandLineW();
    int size = ::WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    char* text = static_cast<char*>(::HeapAlloc(::GetProcessHeap(), 0, size));
    ::WideCharToMultiByte(CP_UTF8, 0, line, -1, text, size, nullptr, nullptr);
    HANDLE file
        = ::CreateFileW(partial, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    BOOL complete = file != INVALID_HANDLE_VALUE && ::WriteFile(file, text, size - 1, &written, nullptr);
    ::CloseHandle(file);
    return complete && ::MoveFileExW(partial, path, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
