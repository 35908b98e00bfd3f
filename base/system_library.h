// DLLs outside the set Windows always takes from its system folder are loaded
// by their full path in the system folder, never by name: a setup program
// usually runs from a downloads folder, where anyone can leave a DLL.
#pragma once
#include <windows.h>

HMODULE LoadSystemLibrary(const char* name);

// Only DLLs Windows always takes from its system folder are imported; this
// keeps every later load out of the program's folder too.
void KeepDllsInSystemFolder();
