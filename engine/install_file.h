// One file record onto the disk at CurrentTargetPath: carried files from
// their body in the data block, references copied from beside the setup
// program, missing folders made on the way. Worker thread only.
#pragma once
#include "file_records.h"

enum InstallResult { INSTALL_DONE = 0, INSTALL_NEWER_ON_DISK = 1, INSTALL_FAILED = 2 };

// The copy found on the disk by the newer-copy test.
extern FILETIME ExistingCreationTime;
extern uint32_t ExistingFileSize;

// With checkNewer, a copy on the disk created later than the record is left
// alone (INSTALL_NEWER_ON_DISK). A failure leaves the disk as it was, but for
// folders made on the way.
int InstallFile(const InstallItem& item, int checkNewer);

// Creates or truncates CurrentTargetPath for writing, making missing folders;
// the open handle, or INVALID_HANDLE_VALUE.
HANDLE CreateTargetFile();


// The backslash-ended prefixes of a path, shortest first: start with
// StartPathPrefixes, then each call gives the next one into out and returns
// 1, or returns 0 when no backslash follows.
void StartPathPrefixes();
int NextPathPrefix(const char* path, char* out);
