// Fault injection from outside the program: linked into the test program, it calls a DLL through this
// program's own import address table, whose entries GNU ld names __imp_<function>.
#pragma once
#include <windows.h>

#include <utility>

extern "C" void *__imp_RegSetValueExA, *__imp_RegOpenKeyExW, *__imp_RegEnumKeyExA, *__imp_TrackPopupMenu;

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
