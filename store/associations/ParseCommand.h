// A verb's command line taken apart into what the store keeps of a program: its path and its parameters.
#pragma once
#include "CString.h"

struct ParsedCommand {
    // The path as the command writes it, variables and all; the path found when the command names the program
    // without its folder or its ".exe".
    CString path;
    // Whether the path holds variables, so the store keeps it as REG_EXPAND_SZ.
    bool pathExpands = false;
    // The program's file, expanded and full, to name it and to tell one program from another.
    CString file;
    // The store's parameters: "%1" stands for the file, trimmed, empty when the command has none.
    CString parameters;
};

// False when the command names no existing program.
bool ParseCommand(LPCSTR command, ParsedCommand& parsed);

// The file a program's path names, found as CreateProcess finds it: with ".exe" added when it has no
// extension, and without a folder in the program's folder, the system folders and the PATH. Empty when none.
CString FoundProgram(LPCSTR path, LPCWSTR defaultExtension = L".exe");
