// Undoing an install by its log, oldest change first; nothing is asked and
// nothing reported. Worker thread only.
#pragma once
#include "log_format.h"

// Replays the closed log at logPath: deletes what it records, then the
// uninstaller copy and the log, and the destination folder if that is empty.
void ReplayLog(const char* logPath);
