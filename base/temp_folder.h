// The program's own folder inside TempDir for the sound and pictures it
// extracts. The program runs elevated, and TempDir belongs to the user whose
// other programs could prepare fixed names there; a fresh folder under a
// name nobody can guess also keeps two setups apart.
#pragma once

// The private folder as a folder string, created on the first call under
// "~Q" and a random part; "" when TempDir is empty or no folder can be made.
const char* PrivateTempFolder();

// Removes the private folder with everything in it, if one was created; a
// later extraction would make a new one.
void RemovePrivateTempFolder();
