// Stands in for an application the chooser starts: records the command line it received.
#include <windows.h>

int main()
{
    char path[MAX_PATH] = "";
    if (!::GetEnvironmentVariableA("ZELVANTO_RECORD_FILE", path, MAX_PATH))
        return 1;
    // Written under another name first, so a reader never sees half a line.
    char partial[MAX_PATH + 8] = "";
    ::wsprintfA(partial, "%s.part", path);
    HANDLE file
        = ::CreateFileA(partial, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    // As Unicode, in UTF-8: the ANSI form would lose what its code page cannot hold.
    char line[32768 * 3] = "";
    int size
        = ::WideCharToMultiByte(CP_UTF8, 0, ::GetCommandLineW(), -1, line, sizeof line, nullptr, nullptr);
    DWORD written = 0;
    ::WriteFile(file, line, size > 0 ? size - 1 : 0, &written, nullptr);
    ::CloseHandle(file);
    ::MoveFileExA(partial, path, MOVEFILE_REPLACE_EXISTING);
    return 0;
}
