// Undoing an install by its log, oldest change first; nothing is asked and
// nothing reported. Worker thread only.
#pragma once
#include "log_format.h"

// Replays the closed log at logPath: deletes what it records, then the
// uninstaller copy and the log, and the destination folder if that is empty.
void ReplayLog(const char* logPath);

// Deletes a logged file and, with flag 1, its folder when that is empty.
int DeleteLoggedFile(const char* path, uint8_t flag);
// Deletes a logged value, or with flag 1 the key with everything below it.
int DeleteLoggedRegistry(const char* key, const char* valueName, uint8_t flag, uint16_t root);
