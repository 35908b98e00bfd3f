// The dialog of the install: the file being installed, the drawn progress
// bar and Cancel, while the install worker does the work on its own thread.
#pragma once
#include "wizard/drawn_controls.h"
#include <windows.h>

enum ProgressResult { PROGRESS_INSTALLED = 1, PROGRESS_ABORTED = 2 };

// Shared with the worker: the user interface thread only sets the request,
// the worker reads and clears it once per file.
extern volatile LONG CancelRequested;
extern ProgressBar InstallBar;

// Runs the install modally, owned by the wizard: PROGRESS_INSTALLED, or
// PROGRESS_ABORTED when it was cancelled or failed and has been rolled back.
INT_PTR RunProgressDialog(HWND owner);
