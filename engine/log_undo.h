// Undoing one change the install log names, for the rollback and for the
// uninstaller alike.
#pragma once
#include <stdint.h>
#include <windows.h>

// The root key of a root code; null for an invalid code.
HKEY RootKeyOf(uint16_t code);

// Deletes a logged file and, with flag 1, its folder when that is empty.
int DeleteLoggedFile(const char* path, uint8_t flag);
// Deletes a logged value, or with flag 1 the key with everything below it.
int DeleteLoggedRegistry(const char* key, const char* valueName, uint8_t flag, uint16_t root);

// The whole log in memory, at most LOG_SIZE_MAX bytes and one more for the
// reader; null when it cannot be read. The caller frees it with VirtualFree.
uint8_t* ReadWholeLog(const char* path, DWORD* size);
