// What a store operation answers: done, or the message that tells the user what failed and the key path it
// names.
#pragma once
#include "CString.h"

struct StoreResult {
    UINT messageId = 0; // 0: done
    CString keyPath; // empty for a message that stands alone

    bool Done() const { return messageId == 0; }
};
