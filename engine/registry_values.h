// The package's registry values, written with the keys on their way; the
// topmost key the install makes is logged, so a rollback removes the chain.
// Worker thread only.
#pragma once
#include <stdint.h>
#include <windows.h>

// Writes a value (an empty name only makes the key): 1 on success. keyPath
// (PATH_SIZE bytes) gets a trailing backslash, the form the caller logs; a
// path without room for it fails.
int WriteRegistryValue(uint8_t root, char* keyPath, const char* valueName, uint8_t kind, const void* data,
                       uint32_t length);
