// What a store operation answers: done, or the message that tells the user what failed and the key path it
// names.
#pragma once
#include "CString.h"
#include "resource.h"

struct StoreResult {
    UINT messageId = 0; // 0: done
    CString keyPath; // empty for a message that stands alone

    bool Done() const { return messageId == 0; }
    // Another copy changed what the window showed: nothing was changed, and the window shows the store again.
    bool Stale() const { return messageId == IDS_STORE_CHANGED; }

    static StoreResult Busy() { return { IDS_STORE_BUSY, "" }; }
    static StoreResult Changed() { return { IDS_STORE_CHANGED, "" }; }
};
