// Tells the user of a failed store access: the message, a colon, and on the next line the key path.
#pragma once
#include <windows.h>

class CStoreKey;

void ShowStoreError(UINT messageId, LPCSTR keyPath);

// Opens the key with the access given; when it cannot be opened, says so with the key path.
bool OpenOrShowError(CStoreKey& key, LPCSTR keyPath, REGSAM access);
