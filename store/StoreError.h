// Tells the user of a failed store access: the message, a colon, and on the next line the key path.
#pragma once
#include <windows.h>

void ShowStoreError(UINT messageId, LPCSTR keyPath);
