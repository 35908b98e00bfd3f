// Names an install makes beside the files it writes, each carrying the
// number of its log "QXUn<nnn>.uqx", so that the rollback and the
// uninstaller find them again from the log's path alone. Free of Windows.
#pragma once

// The three digits of a log named "QXUn<nnn>.uqx" (in any case), or null
// for a path of another name.
const char* LogNumber(const char* logPath);

// Where a file the install replaces waits while the install runs:
// "<path>.~q<nnn>". 0 when the log has no number or the name does not fit.
int OlderCopyName(char* out, const char* path, const char* logPath);

// The folder in which a file is written before it takes its name, beside
// it: "<folder>~q<nnn>\", folder ending in a backslash; and the file's name
// in it, "new". 0 when the log has no number or the path does not fit.
int StagedFilePath(char* out, const char* folder, const char* logPath);
