// One file record onto the disk at its target path: carried files from
// their body in the data block, references copied from beside the setup
// program, missing folders made on the way. Worker thread only.
#pragma once
#include "file_records.h"

enum InstallResult { INSTALL_DONE = 0, INSTALL_NEWER_ON_DISK = 1, INSTALL_FAILED = 2 };

// With checkNewer, a copy on the disk created later than the record is left
// alone (INSTALL_NEWER_ON_DISK), and the item tells its size and creation
// time. A failure leaves the disk as it was, but for folders made on the way.
int InstallFile(InstallItem& item, int checkNewer);

// Opens path for writing with the disposition (CREATE_ALWAYS, CREATE_NEW),
// making missing folders; the open handle, or INVALID_HANDLE_VALUE.
HANDLE CreateTargetFile(const char* path, DWORD disposition);


// The backslash-ended prefixes of a path, shortest first: start with
// StartPathPrefixes, then each call gives the next one into out and returns
// 1, or returns 0 when no backslash follows.
void StartPathPrefixes();
int NextPathPrefix(const char* path, char* out);
