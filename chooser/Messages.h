// Tells the user what failed: the message, a colon, and on the next line what it names.
#pragma once
#include "store/StoreResult.h"

// The message, and on the next line its detail: a key path, or the program that could not be started.
void ShowMessage(UINT messageId, LPCSTR detail);
void ShowStoreError(UINT messageId, LPCSTR keyPath);

// Shows what the operation answered when it failed, a message without a key path alone; answers whether it
// was done.
BOOL ShowIfFailed(const StoreResult& result);
