// Counts of the system objects the program holds right now, for tests: Wine's own counters are stubs.
#pragma once

struct LiveCounts {
    static inline int icons = 0; // icons obtained and not yet destroyed
    static inline int imageLists
        = 0; // image lists created and not yet destroyed; a list view destroys the one it holds last
    static inline int menus = 0; // menus loaded and not yet destroyed
};
