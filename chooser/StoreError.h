// Tells the user of a failed store operation: the message, a colon, and on the next line the key path.
#pragma once
#include "store/StoreResult.h"

void ShowStoreError(UINT messageId, LPCSTR keyPath);

// Shows what the operation answered when it failed, a message without a key path alone; answers whether it
// was done.
BOOL ShowIfFailed(const StoreResult& result);
