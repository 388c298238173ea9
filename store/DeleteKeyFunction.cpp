#include "DeleteKeyFunction.h"

namespace DeleteKeyFunction
{

typedef LONG(WINAPI* RegDeleteKeyExFunction)(HKEY, LPCSTR, REGSAM, DWORD);

static LPCSTR s_moduleName = "Advapi32.dll";
static BOOL s_lookedUp = FALSE;
static int s_lookupCount = 0;
static RegDeleteKeyExFunction s_deleteKeyEx = nullptr;

static void LookUp()
{
    ++s_lookupCount;
    s_lookedUp = TRUE;
    HMODULE module = ::GetModuleHandleA(s_moduleName);
    if (module)
        s_deleteKeyEx = reinterpret_cast<RegDeleteKeyExFunction>(
            reinterpret_cast<void*>(::GetProcAddress(module, "RegDeleteKeyExA")));
}

LONG Delete(HKEY parent, LPCSTR name)
{
    if (!s_lookedUp)
        LookUp();
    if (s_deleteKeyEx)
        return s_deleteKeyEx(parent, name, 0, 0);
    return ::RegDeleteKeyA(parent, name);
}

void SetModuleName(LPCSTR module)
{
    s_moduleName = module;
}

int LookupCount()
{
    return s_lookupCount;
}

BOOL FoundDeleteKeyEx()
{
    return s_deleteKeyEx != nullptr;
}

} // namespace DeleteKeyFunction
