// Stands in for an application the chooser starts: records the command line it received, as UTF-8, in the
// file its environment names; written aside and moved into place, so a reader finds all of it or nothing.
#include <windows.h>

int main()
{
    static wchar_t path[MAX_PATH], partial[MAX_PATH + 8];
    static char line[65536];
    ::GetEnvironmentVariableW(L"ZELVANTO_RECORD_FILE", path, MAX_PATH);
    ::wsprintfW(partial, L"%s.part", path);
    int size
        = ::WideCharToMultiByte(CP_UTF8, 0, ::GetCommandLineW(), -1, line, sizeof line, nullptr, nullptr);
    HANDLE file = ::CreateFileW(partial, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    bool whole = ::WriteFile(file, line, size - 1, &written, nullptr) && ::CloseHandle(file);
    return whole && ::MoveFileExW(partial, path, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
