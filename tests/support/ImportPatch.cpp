#include "support/ImportPatch.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>

static void** FindSlot(const char* dll, const char* function)
{
    BYTE* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
    auto* nt
        = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
        base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    for (; import->Name; ++import) {
        if (::lstrcmpiA(reinterpret_cast<char*>(base + import->Name), dll) != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (!IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) && ::lstrcmpA(byName->Name, function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

static void Write(void** slot, void* value)
{
    DWORD protection = 0;
    ::VirtualProtect(slot, sizeof value, PAGE_READWRITE, &protection);
    *slot = value;
    ::VirtualProtect(slot, sizeof value, protection, &protection);
}

ImportPatch::ImportPatch(const char* dll, const char* function, void* replacement)
    : m_slot(FindSlot(dll, function))
{
    if (!m_slot)
        ADD_FAILURE() << "not imported: " << dll << "!" << function;
    else
        m_original = *m_slot, Write(m_slot, replacement);
}

ImportPatch::~ImportPatch()
{
    if (m_slot)
        Write(m_slot, m_original);
}

// Adds a step to one count for every call that succeeds: status 0 for the registry, else a non-zero answer.
template <class Function, int LiveObjects::*Count, int Step> struct Counted;
template <class R, class... A, int LiveObjects::*Count, int Step>
struct Counted<R(WINAPI*)(A...), Count, Step> {
    static inline ImportPatch* patch = nullptr;
    static R WINAPI Call(A... arguments)
    {
        R result = patch->Original<R(WINAPI*)(A...)>()(arguments...);
        if (std::is_same_v<R, LONG> ? result == 0 : result != 0)
            Live().*Count += Step;
        return result;
    }
    static void Install(const char* dll, const char* name)
    {
        patch = new ImportPatch(dll, name, (void*)Call);
    }
};

LiveObjects& Live()
{
    static LiveObjects live;
    static bool counting = false;
    if (!counting) {
        counting = true;
        Counted<decltype(&::RegOpenKeyExA), &LiveObjects::keys, 1>::Install("advapi32.dll", "RegOpenKeyExA");
        Counted<decltype(&::RegCreateKeyExA), &LiveObjects::keys, 1>::Install(
            "advapi32.dll", "RegCreateKeyExA");
        Counted<decltype(&::RegCloseKey), &LiveObjects::keys, -1>::Install("advapi32.dll", "RegCloseKey");
        Counted<decltype(&::ImageList_Create), &LiveObjects::imageLists, 1>::Install(
            "comctl32.dll", "ImageList_Create");
        Counted<decltype(&::ImageList_Destroy), &LiveObjects::imageLists, -1>::Install(
            "comctl32.dll", "ImageList_Destroy");
        Counted<decltype(&::LoadIconW), &LiveObjects::icons, 1>::Install("user32.dll", "LoadIconW");
        Counted<decltype(&::SHGetFileInfoA), &LiveObjects::icons, 1>::Install(
            "shell32.dll", "SHGetFileInfoA");
        Counted<decltype(&::DestroyIcon), &LiveObjects::icons, -1>::Install("user32.dll", "DestroyIcon");
        Counted<decltype(&::LoadMenuW), &LiveObjects::menus, 1>::Install("user32.dll", "LoadMenuW");
        Counted<decltype(&::DestroyMenu), &LiveObjects::menus, -1>::Install("user32.dll", "DestroyMenu");
    }
    return live;
}
