// Undoing an install by what its worker logged, oldest change first; nothing
// is asked and nothing reported. Worker thread only.
#pragma once
#include "log_format.h"

// Replays the records the worker wrote to the log at logPath (the bytes of
// its records, the uninstaller's first): deletes what they name but a record
// no install writes, then the uninstaller copy and the log, and the
// destination folder if that is empty.
void ReplayLog(uint8_t* records, size_t size, const char* logPath);
