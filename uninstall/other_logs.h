// What the other installs on this machine still name in their logs: the
// logs their uninstall entries hand the uninstaller, and every log beside
// this one. A file, value or key that one of them names is theirs too, and
// stays when this product goes.
#pragma once
#include "engine/log_format.h"
#include <windows.h>

// The UninstallString of an entry below an open key, in command (size
// bytes); empty when there is none or it does not fit.
void ReadEntryCommand(HKEY parent, const char* entry, char* command, DWORD size);

// Reads every whole log but the one at logPath; 0 when memory is short.
int ReadOtherLogs(const char* logPath);

// Whether another log names the file or the value of a record, or for a
// whole key, the key or anything below it.
int AnotherLogNames(const LogRecord& r);
int AnotherLogNamesKey(uint16_t root, const char* key);
