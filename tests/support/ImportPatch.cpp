#include "support/ImportPatch.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <atomic>

void** ImportPatch::Slot(const char* dll, const char* function)
{
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
    auto* nt
        = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         import->Name; ++import) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; ::lstrcmpiA((char*)base + import->Name, dll) == 0 && names->u1.AddressOfData;
             ++names, ++slots) {
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (!IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) && ::lstrcmpA(byName->Name, function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

void* ImportPatch::Swap(void** slot, void* value)
{
    DWORD protection = 0;
    ::VirtualProtect(slot, sizeof value, PAGE_READWRITE, &protection);
    std::swap(*slot, value);
    ::VirtualProtect(slot, sizeof value, protection, &protection);
    return value;
}

ImportPatch::ImportPatch(const char* dll, const char* function, void* replacement)
    : m_slot(Slot(dll, function))
    , m_original(m_slot ? Swap(m_slot, replacement) : nullptr)
{
    EXPECT_TRUE(m_slot) << "not imported: " << dll << "!" << function;
}

// The slot may still hold the loader's stub, which would overwrite the patch: the original comes from the
// DLL.
ImportPatch::ImportPatch(void** delayedSlot, const char* dll, const char* function, void* replacement)
    : m_slot(delayedSlot)
    , m_original(reinterpret_cast<void*>(::GetProcAddress(::LoadLibraryA(dll), function)))
{
    Swap(m_slot, replacement);
}

// Adds the step to the count at every call that succeeds: status 0 from the registry, else a non-zero answer.
template <class Function, int LiveObjects::*Count, int Step> struct Counter;
template <class R, class... A, int LiveObjects::*Count, int Step>
struct Counter<R(WINAPI*)(A...), Count, Step> {
    static inline ImportPatch* patch = nullptr;
    static R WINAPI Call(A... arguments)
    {
        R result = patch->Original<R(WINAPI*)(A...)>()(arguments...);
        // The shell's icons are fetched on a worker thread.
        std::atomic_ref<int>(Live().*Count)
            += (std::is_same_v<R, LONG> ? result == 0 : result != 0) ? Step : 0;
        return result;
    }
    // A function the program does not import (any more) is not counted.
    Counter(const char* dll, const char* name, void** delayedSlot = nullptr)
    {
        if (delayedSlot)
            patch = new ImportPatch(delayedSlot, dll, name, (void*)Call);
        else if (ImportPatch::Slot(dll, name))
            patch = new ImportPatch(dll, name, (void*)Call);
    }
};

#define COUNT(dll, function, count, step, ...)                                                               \
    Counter<decltype(&::function), &LiveObjects::count, step>(dll, #function __VA_OPT__(, ) __VA_ARGS__)

LiveObjects& Live()
{
    static LiveObjects live;
    static bool counting = false;
    if (!std::exchange(counting, true)) {
        COUNT("advapi32.dll", RegOpenKeyExA, keys, 1), COUNT("advapi32.dll", RegCreateKeyExA, keys, 1);
        COUNT("advapi32.dll", RegCloseKey, keys, -1);
        COUNT("comctl32.dll", ImageList_Create, imageLists, 1),
            COUNT("comctl32.dll", ImageList_Destroy, imageLists, -1);
        COUNT("user32.dll", LoadIconW, icons, 1), COUNT("user32.dll", LoadImageW, icons, 1);
        COUNT("shell32.dll", SHGetFileInfoA, icons, 1, &__imp_SHGetFileInfoA);
        COUNT("user32.dll", DestroyIcon, icons, -1);
        COUNT("user32.dll", LoadMenuW, menus, 1), COUNT("user32.dll", DestroyMenu, menus, -1);
    }
    return live;
}
