#include "DeleteKeyFunction.h"

namespace DeleteKeyFunction
{

typedef LONG(WINAPI* RegDeleteKeyExFunction)(HKEY, LPCSTR, REGSAM, DWORD);

static BOOL s_lookedUp = FALSE;
static RegDeleteKeyExFunction s_deleteKeyEx = nullptr;

static void LookUp()
{
    s_lookedUp = TRUE;
    HMODULE module = ::GetModuleHandleA("Advapi32.dll");
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

} // namespace DeleteKeyFunction
