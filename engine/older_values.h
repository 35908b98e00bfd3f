// Registry values the install overwrites keep their old type and data in
// memory for as long as the install runs, as older files are set aside: a
// rollback writes them back. Worker thread only.
#pragma once
#include <stdint.h>
#include <windows.h>

// Before a value of the open key is written: what it holds now, or that it
// is absent, is kept. 0 when that cannot be read or kept, and the value must
// not be written.
int KeepOlderValue(HKEY key, uint16_t root, const char* keyPath, const char* name);
// With putBack, every value goes back to what it was, into a key that is
// still there (a rollback); without, what was kept is dropped (the install
// is complete).
void ReleaseOlderValues(int putBack);
