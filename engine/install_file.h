// One file record onto the disk at its target path: carried files from
// their body in the data block, references copied from beside the setup
// program, missing folders made on the way. Worker thread only.
#pragma once
#include "file_records.h"

enum InstallResult {
    INSTALL_DONE = 0,
    INSTALL_NEWER_ON_DISK = 1,
    INSTALL_FAILED = 2,
    INSTALL_NOT_LOGGED = 3, // the log could not be written: the install stops
};

// Puts the file in place and names it in the install log, with the folder
// flag of its record. With checkNewer, a copy on the disk created later than
// the record is left alone (INSTALL_NEWER_ON_DISK), and the item tells its
// size and creation time. A copy that is replaced waits under another name
// until the install ends. A failure leaves the disk as it was, but for
// folders made on the way.
int InstallFile(InstallItem& item, int checkNewer);

// The backslash-ended prefixes of a path, shortest first: start with
// StartPathPrefixes, then each call gives the next one into out and returns
// 1, or returns 0 when no backslash follows.
void StartPathPrefixes();
int NextPathPrefix(const char* path, char* out);
