// Removing what an install log names, newest first, with a list of what
// could not be removed. Nothing the log does not name is touched, and a
// folder goes only when it is empty.
#pragma once
#include "engine/log_format.h"
#include <windows.h>

enum { STAYED_SIZE = 2048 };

struct Removal {
    LogRecord* records; // oldest first, the uninstaller's first
    uint32_t count;
    HWND window; // the progress window, or null
    char stayed[STAYED_SIZE]; // what could not be removed, a line each
    int anyStayed;
};

// The records of a whole log (LogIsWhole) into r; 0 when memory is short.
int ReadRemovalRecords(uint8_t* log, size_t size, Removal& r);

// Removes every change but the uninstaller copy and the uninstall entry;
// when nothing stayed, those too, so that a second run can finish a removal
// that something stopped.
void RemoveLoggedChanges(Removal& r);
