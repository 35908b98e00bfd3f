// The install log in the destination folder: every change the install makes
// is recorded as it is made, for the rollback and for the separate
// uninstaller, whose copy the log places beside itself. Worker thread only.
#pragma once
#include "log_format.h"

// Opens the log in the destination folder, with the uninstaller beside it,
// which it writes from file record 0: the file section must be open.
// Nonzero on success; a failure leaves neither file.
int OpenInstallLog(const char* folder);
// Records one change; 0 when it could not be recorded, and the caller undoes it.
int AppendToInstallLog(const LogRecord& record);
// Takes back the record appended last, whose change did not happen after
// all; once only.
void WithdrawLastLogRecord();
// The log's path; empty while no log is open.
const char* InstallLogPath();
// The install is complete: the log, whose count is current, is closed, and
// what was set aside for a rollback goes.
void FinishInstallLog();
// Undoes everything the log records and removes the log.
void RollBackInstallLog();

// Where the uninstaller was placed beside the log.
const char* UninstallerCopyPath();
