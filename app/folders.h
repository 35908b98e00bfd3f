// Fills the standard folder strings from the system at start-up.
#pragma once

void FillTempDir();
void FillWindowsDir();
void FillSystemDir();
void FillSetupDir();
