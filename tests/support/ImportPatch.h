// Fault injection from outside the program, through this program's import table (GNU ld's __imp_<function>).
#pragma once
#include <windows.h>

#include <utility>

extern "C" void *__imp_RegSetValueExA, *__imp_RegEnumKeyExA, *__imp_TrackPopupMenu, *__imp_DrawTextW;

// Swaps the entry while it lives; a function loaded on first use must have been called once before.
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

// While it lives, writes of the value `unwritable` fail, and a text without its zero, which Windows keeps so.
class FailingWrites
{
public:
    FailingWrites() { unwritable = ""; }
    static inline const char* unwritable = "";

private:
    static LONG WINAPI SetValue(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size)
    {
        if (name && ::lstrcmpiA(name, unwritable) == 0)
            return ERROR_ACCESS_DENIED;
        if ((type == REG_SZ || type == REG_EXPAND_SZ) && (size == 0 || data[size - 1] != 0))
            return ERROR_INVALID_DATA;
        // Not patched, so the write is the real one.
        return ::RegSetKeyValueA(key, nullptr, name, type, data, size);
    }
    ImportPatch m_patch { &__imp_RegSetValueExA, (void*)SetValue };
};
