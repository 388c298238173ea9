// The delete of one key without subkeys: RegDeleteKeyExA where the system has it, RegDeleteKeyA otherwise.
#pragma once
#include <windows.h>

namespace DeleteKeyFunction
{

// Looks RegDeleteKeyExA up on the first call of the process and remembers the outcome, found or not.
LONG Delete(HKEY parent, LPCSTR name);

} // namespace DeleteKeyFunction
