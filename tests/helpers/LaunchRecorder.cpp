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
    LPCSTR line = ::GetCommandLineA();
    DWORD written = 0;
    ::WriteFile(file, line, ::lstrlenA(line), &written, nullptr);
    ::CloseHandle(file);
    ::MoveFileExA(partial, path, MOVEFILE_REPLACE_EXISTING);
    return 0;
}
