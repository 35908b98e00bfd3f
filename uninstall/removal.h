// Removing what an install log names, newest first, with a list of what
// could not be removed. Nothing the log does not name is touched, nothing
// another install's log names is removed, and a folder or key goes only
// when nothing is left in it.
#pragma once
#include "engine/log_format.h"
#include <windows.h>

enum { STAYED_SIZE = 2048 };

struct Removal {
    const char* logPath;
    LogRecord* records; // oldest first, the uninstaller's first
    uint32_t count;
    HWND window; // the progress window, or null
    char stayed[STAYED_SIZE]; // what could not be removed, a line each
    int anyStayed;
    int ownCopyLater; // this program is the uninstaller copy, which goes when Windows next starts
};

// The records of a whole log (LogIsWhole) into r; 0 when memory is short.
int ReadRemovalRecords(uint8_t* log, size_t size, Removal& r);

// Whether the log names path as an installed file that is no longer there.
int IsInstalledFileGone(const Removal& r, const char* path);

// Removes every change but the uninstaller copy and the uninstall entry,
// then the folders below the log's that are left empty; when nothing
// stayed, the uninstaller copy and the entry too, so that a second run can
// finish a removal that something stopped.
void RemoveLoggedChanges(Removal& r);
