#pragma once
#include <windows.h>

// The program's module, for every resource and dialog it loads.
extern HINSTANCE Instance;
