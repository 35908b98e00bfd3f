// The dialog of the install: the file being installed, the drawn progress
// bar and Cancel, while the install worker does the work on its own thread.
#pragma once
#include <windows.h>

enum ProgressResult { PROGRESS_INSTALLED = 1, PROGRESS_ABORTED = 2 };

// Runs the install modally, owned by the wizard, with the Cancel button
// captioned as the wizard's: PROGRESS_INSTALLED, or PROGRESS_ABORTED when it
// was cancelled or failed and has been rolled back.
INT_PTR RunProgressDialog(HWND owner, const char* cancelCaption);
