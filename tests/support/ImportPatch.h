// Fault injection from outside the program: linked into the test program, it calls a DLL through this
// program's own import address table, whose entries GNU ld names __imp_<function>.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <mutex>
#include <utility>

extern "C" void *__imp_GetProcAddress, *__imp_RegSetValueExA, *__imp_RegOpenKeyExW, *__imp_RegCreateKeyExW,
    *__imp_RegCloseKey, *__imp_ImageList_Create, *__imp_ImageList_Destroy, *__imp_ImageList_GetIcon,
    *__imp_LoadIconW, *__imp_DestroyIcon, *__imp_LoadMenuW, *__imp_DestroyMenu, *__imp_TrackPopupMenu,
    *__imp_SHGetFileInfoA, *__imp_DrawTextW;

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

// What the program holds, counted at its imports from the first call on (Wine's own counters are stubs).
// A list view destroys the image list it holds itself, past the imports.
struct LiveObjects {
    int keys = 0;
    int icons = 0;
    int imageLists = 0;
    int menus = 0;
};

// From now on adds the step to the count at every call of the entry's function that succeeds: status 0 from
// the registry, else a non-zero answer. The shell's icons come on worker threads, so the count is atomic.
template <int LiveObjects::*Count, int Step, class R, class... A> void CountAt(void** slot, R (*)(A...));

inline LiveObjects& Live()
{
    static LiveObjects live;
    static std::once_flag counting;
    std::call_once(counting, [] {
        CountAt<&LiveObjects::keys, 1>(&__imp_RegOpenKeyExW, ::RegOpenKeyExW);
        CountAt<&LiveObjects::keys, 1>(&__imp_RegCreateKeyExW, ::RegCreateKeyExW);
        CountAt<&LiveObjects::keys, -1>(&__imp_RegCloseKey, ::RegCloseKey);
        CountAt<&LiveObjects::icons, 1>(&__imp_LoadIconW, ::LoadIconW);
        CountAt<&LiveObjects::icons, 1>(&__imp_ImageList_GetIcon, ::ImageList_GetIcon);
        CountAt<&LiveObjects::icons, -1>(&__imp_DestroyIcon, ::DestroyIcon);
        CountAt<&LiveObjects::imageLists, 1>(&__imp_ImageList_Create, ::ImageList_Create);
        CountAt<&LiveObjects::imageLists, -1>(&__imp_ImageList_Destroy, ::ImageList_Destroy);
        CountAt<&LiveObjects::menus, 1>(&__imp_LoadMenuW, ::LoadMenuW);
        CountAt<&LiveObjects::menus, -1>(&__imp_DestroyMenu, ::DestroyMenu);
    });
    return live;
}

template <int LiveObjects::*Count, int Step, class R, class... A> void CountAt(void** slot, R (*)(A...))
{
    static ImportPatch* patch = nullptr;
    patch = new ImportPatch(
        slot, (void*)+[](A... arguments) {
            R result = patch->Original<R (*)(A...)>()(arguments...);
            bool succeeded = std::is_same_v<R, LONG> ? result == 0 : result != 0;
            std::atomic_ref<int>(Live().*Count) += succeeded ? Step : 0;
            return result;
        });
}
