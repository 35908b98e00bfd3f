// The folders an install writes to, as this machine and user have them, for
// the checks of the install log.
#pragma once
#include "log_check.h"

// A shell folder of the user ("Desktop", "Programs"...) with a trailing
// backslash into out (PATH_SIZE bytes); 0 when it cannot be read.
int ReadShellFolder(const char* name, char* out);

// The log's folder (with its backslash), the Windows and System folders and
// the user's shell folders that links go to: the group's Programs folder,
// Desktop, Startup, SendTo and Start Menu. Kept until the next call.
const InstallFolders& FindInstallFolders(const char* logFolder);
