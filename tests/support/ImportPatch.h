// Fault injection and counting from outside the program: the program is linked into the test program, so
// its calls of a DLL function go through this program's own import address table, where a test swaps one.
#pragma once
#include <windows.h>

#include <type_traits>

class ImportPatch
{
public:
    // Points the import of the function from the DLL (any letter case) at the replacement until destroyed.
    ImportPatch(const char* dll, const char* function, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // What the entry held before, for the replacement to call on.
    template <class Function> Function Original() const { return reinterpret_cast<Function>(m_original); }

private:
    void** m_slot = nullptr;
    void* m_original = nullptr;
};

// The objects the program holds right now, counted at its imports: Wine's own counters are stubs.
struct LiveObjects {
    int keys = 0; // registry keys opened or created and not closed
    int imageLists = 0; // a list view destroys the one it holds itself
    int icons = 0;
    int menus = 0;
    bool operator==(const LiveObjects&) const = default;
};
// Starts counting on the first call, for the rest of the process.
LiveObjects& Live();
