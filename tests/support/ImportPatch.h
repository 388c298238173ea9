// Fault injection from outside the program: its code is linked into the test program, so its calls of a
// DLL function go through this program's own import address table, where a patch swaps one entry.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <atomic>

// The slots of the functions the program loads on first use.
extern "C" void *__imp_SHGetFileInfoA, *__imp_ShellExecuteA;

class ImportPatch
{
public:
    // A function the program loads on first use is patched at its slot, the linker's __imp_ symbol.
    ImportPatch(const char* dll, const char* function, void* replacement, void** delayedSlot = nullptr)
        : m_original(reinterpret_cast<void*>(::GetProcAddress(::LoadLibraryA(dll), function)))
        , m_slot(delayedSlot ? delayedSlot : Slot(dll, function))
        , m_previous(m_slot ? Swap(m_slot, replacement) : nullptr)
    {
    }
    ~ImportPatch() { m_slot ? Swap(m_slot, m_previous) : nullptr; }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
    // The DLL's own function, for the replacement to call on.
    template <class Function> Function Original() const { return reinterpret_cast<Function>(m_original); }
    // The entry of the function in this program's import table, or null.
    static void** Slot(const char* dll, const char* function)
    {
        auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
        auto* nt
            = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
            base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
        for (; import->Name; ++import) {
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

private:
    static void* Swap(void** slot, void* value)
    {
        DWORD protection = 0;
        ::VirtualProtect(slot, sizeof value, PAGE_READWRITE, &protection);
        std::swap(*slot, value);
        return ::VirtualProtect(slot, sizeof value, protection, &protection), value;
    }
    void* m_original; // taken first: the patched function may be the look-up itself
    void** m_slot;
    void* m_previous;
};

// What the program holds right now, counted at its imports from the first call on (Wine's own counters
// are stubs).
struct LiveObjects {
    int keys = 0, imageLists = 0, icons = 0, menus = 0;
};

// Adds the step to the count at every call that succeeds: status 0 from the registry, else a non-zero answer.
// The shell's icons are fetched on a worker thread, so the count is atomic.
template <class Function, int LiveObjects::*Count, int Step> struct Counter;
template <class R, class... A, int LiveObjects::*Count, int Step>
struct Counter<R(WINAPI*)(A...), Count, Step> {
    static inline ImportPatch* patch = nullptr;
    static R WINAPI Call(A... arguments);
    Counter(const char* dll, const char* name, void** delayedSlot = nullptr)
    {
        patch = new ImportPatch(dll, name, (void*)Call, delayedSlot);
    }
};

inline LiveObjects& Live()
{
    static LiveObjects live;
    static bool counting = false;
#define COUNT(dll, function, count, step, ...)                                                               \
    Counter<decltype(&::function), &LiveObjects::count, step>(dll, #function __VA_OPT__(, ) __VA_ARGS__)
    if (!std::exchange(counting, true)) {
        COUNT("advapi32.dll", RegOpenKeyExA, keys, 1), COUNT("advapi32.dll", RegCreateKeyExA, keys, 1);
        COUNT("advapi32.dll", RegCloseKey, keys, -1), COUNT("comctl32.dll", ImageList_Create, imageLists, 1);
        COUNT("comctl32.dll", ImageList_Destroy, imageLists, -1), COUNT("user32.dll", LoadIconW, icons, 1);
        COUNT("comctl32.dll", ImageList_GetIcon, icons, 1), COUNT("user32.dll", DestroyIcon, icons, -1);
        COUNT("user32.dll", LoadMenuW, menus, 1), COUNT("user32.dll", DestroyMenu, menus, -1);
    }
#undef COUNT
    return live;
}

template <class R, class... A, int LiveObjects::*Count, int Step>
R WINAPI Counter<R(WINAPI*)(A...), Count, Step>::Call(A... arguments)
{
    R result = patch->Original<R(WINAPI*)(A...)>()(arguments...);
    std::atomic_ref<int>(Live().*Count) += (std::is_same_v<R, LONG> ? result == 0 : result != 0) ? Step : 0;
    return result;
}
