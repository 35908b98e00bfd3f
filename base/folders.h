// Fills the standard folder strings from the system at start-up.
#pragma once

// Takes the ANSI code page's lead bytes, which every path walk needs; first.
void ReadLeadByteRanges();
void FillTempDir();
void FillWindowsDir();
void FillSystemDir();
void FillSetupDir();

// Whether a file or folder exists: the system can resolve its short name.
int PathExists(const char* path);
