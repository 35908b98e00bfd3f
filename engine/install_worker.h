// The whole install in its fixed order, on a thread of its own: the banner,
// the install log with the uninstaller, every file, and the end of the log;
// any failure rolls everything back. It ends the progress dialog itself.
#pragma once
#include <windows.h>

// The parameter is the progress dialog.
DWORD WINAPI InstallWorker(void* dialog);
