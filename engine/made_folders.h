// Folders made on the way to the install's files. The log names a file's
// folder only one level deep, so a rollback removes every folder the install
// made, deepest first, when it is empty. Worker thread only.
#pragma once

void RememberMadeFolder(const char* path);
void RemoveMadeFolders();
