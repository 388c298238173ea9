// Fault injection from outside the program: its code is linked into the test program, so its calls of a
// DLL function go through this program's own import address table. GNU ld names each entry
// __imp_<function>, for the functions loaded on first use too.
#pragma once
#include <windows.h>

#include <atomic>
#include <utility>

extern "C" void *__imp_SHGetFileInfoA, *__imp_GetProcAddress, *__imp_RegSetValueExA, *__imp_RegOpenKeyExA,
    *__imp_RegCreateKeyExA, *__imp_RegCloseKey, *__imp_ImageList_GetIcon, *__imp_LoadIconW,
    *__imp_DestroyIcon, *__imp_LoadMenuW, *__imp_DestroyMenu, *__imp_TrackPopupMenu;

// Swaps the entry while it lives. A function loaded on first use must have been called once before, so its
// entry holds the function itself rather than the loader's stub.
class ImportPatch
{
public:
    ImportPatch(void** slot, void* replacement)
        : m_slot(slot)
        , m_original(Swap(slot, replacement))
    {
    }
    ~ImportPatch() { Swap(m_slot, m_original); }
    // The function the entry held, for the replacement to call on.
    template <class Function> Function Original() const { return reinterpret_cast<Function>(m_original); }

private:
    static void* Swap(void** slot, void* value)
    {
        DWORD protection = 0;
        ::VirtualProtect(slot, sizeof value, PAGE_READWRITE, &protection);
        std::swap(*slot, value);
        ::VirtualProtect(slot, sizeof value, protection, &protection);
        return value;
    }
    void** m_slot;
    void* m_original;
};

// What the program holds right now, counted at its imports from the first call on (Wine's own counters
// are stubs).
struct LiveObjects {
    int keys = 0, icons = 0, menus = 0;
};

// Adds the step to the count at every call that succeeds: status 0 from the registry, else a non-zero answer.
// The shell's icons are fetched on worker threads, so the count is atomic.
template <class Function, int LiveObjects::*Count, int Step> struct Counter;
template <class R, class... A, int LiveObjects::*Count, int Step>
struct Counter<R(WINAPI*)(A...), Count, Step> {
    static inline ImportPatch* patch = nullptr;
    static R WINAPI Call(A... arguments);
    Counter(void** slot) { patch = new ImportPatch(slot, (void*)Call); }
};

inline LiveObjects& Live()
{
    static LiveObjects live;
    static bool counting = false;
#define COUNT(function, count, step)                                                                         \
    Counter<decltype(&::function), &LiveObjects::count, step>                                                \
    {                                                                                                        \
        &__imp_##function                                                                                    \
    }
    if (!std::exchange(counting, true)) {
        COUNT(RegOpenKeyExA, keys, 1), COUNT(RegCreateKeyExA, keys, 1);
        COUNT(RegCloseKey, keys, -1), COUNT(LoadIconW, icons, 1);
        COUNT(ImageList_GetIcon, icons, 1), COUNT(DestroyIcon, icons, -1);
        COUNT(LoadMenuW, menus, 1), COUNT(DestroyMenu, menus, -1);
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
