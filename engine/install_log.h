// The install log in the destination folder: every change the install makes
// is recorded as it is made, for the rollback and for the separate
// uninstaller, whose copy the log places beside itself. Worker thread only.
#pragma once
#include "log_format.h"

// One entry point for every use: LOG_OPEN with record.text the destination
// folder (it writes the uninstaller from file record 0, so the file section
// must be open), LOG_APPEND, LOG_GET_PATH into record.text (PATH_SIZE bytes),
// LOG_FINISH, and LOG_ABORT, which undoes everything the log records. Nonzero
// on success.
int InstallLog(const LogRecord& record, uint8_t operation);

// Where the uninstaller was placed beside the log.
const char* UninstallerCopyPath();
