// Fills the standard folder strings from the system at start-up.
#pragma once
#include <stdint.h>

// Takes the ANSI code page's lead bytes, which every path walk needs; first.
void ReadLeadByteRanges();
void FillTempDir();
void FillWindowsDir();
void FillSystemDir();
void FillSetupDir();

// Whether a file or folder exists: the system can resolve its short name.
int PathExists(const char* path);

// The free bytes of the disk or share a path is on, or will be on when it is
// made: measured at the nearest of its folders that exists. 0 when none can
// be measured.
int FreeSpaceOf(const char* path, uint64_t* bytes);
