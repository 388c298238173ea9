// Fault injection from outside the program: its code is linked into the test program, so its calls of a
// DLL function go through this program's own import address table, where a patch swaps one entry.
#pragma once
#include <windows.h>

class ImportPatch
{
public:
    ImportPatch(const char* dll, const char* function, void* replacement);
    // For a function the program loads on first use: its slot is the linker's __imp_ symbol.
    ImportPatch(void** delayedSlot, const char* dll, const char* function, void* replacement);
    ~ImportPatch() { m_slot ? Swap(m_slot, m_original) : nullptr; }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
    // What the entry held before, for the replacement to call on.
    template <class Function> Function Original() const { return reinterpret_cast<Function>(m_original); }

    // The entry of the function in this program's import table, or null.
    static void** Slot(const char* dll, const char* function);

private:
    static void* Swap(void** slot, void* value);
    void** m_slot;
    void* m_original;
};

// What the program holds right now, counted at its imports from the first call on (Wine's counters are
// stubs).
// The slots of the functions the program loads on first use.
extern "C" void *__imp_SHGetFileInfoA, *__imp_ShellExecuteA;

struct LiveObjects {
    int keys = 0, imageLists = 0, icons = 0, menus = 0;
    bool operator==(const LiveObjects&) const = default;
};
LiveObjects& Live();
