// The programs Windows knows for a file type, read from its file associations, described as the store keeps
// a program.
#pragma once
#include "CString.h"

#include <vector>

struct KnownProgram {
    // The name Windows shows for it.
    CString displayName;
    // As the association writes it; kept as REG_EXPAND_SZ when pathExpands.
    CString path;
    bool pathExpands = false;
    CString parameters;
};

// Each program that Windows offers to open files of the extension (given without its dot) with, once, in
// the order found: the user's choice, the type's own programs, the user's recent ones, then every
// application that names the type. Each call reads the registry afresh.
std::vector<KnownProgram> FindKnownPrograms(LPCSTR extension);
