// A file is written in a folder of the install's own beside its target and
// takes the target's name only when it is whole, its times and attributes
// set: an install cut off leaves no half-written file under a product
// file's name. The log names the staging folder's file before anything is
// written there, so what a cut-off install leaves, the log removes. Worker
// thread only.
#pragma once
#include "install_file.h"

// Where to write the file for target, into staged, and whether the install
// made target's folder, which then holds only files the log names:
// INSTALL_DONE, or INSTALL_FAILED when a folder on the way or the staging
// folder cannot be made, or INSTALL_NOT_LOGGED. Entering another folder
// makes its staging folder, and the folders on the way, and leaves the last.
int StagedPathFor(const char* target, const char** staged, int* folderIsNew);
// The staging folder goes; the next file makes it again.
void LeaveStagingFolder();
