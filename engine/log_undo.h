// Undoing one change the install log names, for the rollback and for the
// uninstaller alike.
#pragma once
#include <stdint.h>
#include <windows.h>

// The root key of a root code; null for an invalid code.
HKEY RootKeyOf(uint16_t code);

// Deletes a logged file, puts back the older copy the install of the log at
// logPath set aside for it, and with flag 1 removes the file's folder when
// that is empty. 1 when the file is gone: deleted, or not there.
int DeleteLoggedFile(const char* path, uint8_t flag, const char* logPath);
// Deletes a logged value, or with flag 1 the key with everything below it.
int DeleteLoggedRegistry(const char* key, const char* valueName, uint8_t flag, uint16_t root);

// The whole log in memory, at most LOG_SIZE_MAX bytes and one more for the
// reader; null when it cannot be read. The caller frees it with VirtualFree.
uint8_t* ReadWholeLog(const char* path, DWORD* size);
