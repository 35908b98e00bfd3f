// The question when the disk holds a newer copy of a file the install
// brings: keep it, overwrite it, or abort the install.
#pragma once
#include <windows.h>

// The creation time of the record being installed.
extern const FILETIME* PackageCreationTime;

// IDC_NEWER_KEEP, IDC_NEWER_OVERWRITE, or IDCANCEL (also Escape and the
// close box) to abort. Called on the worker thread, owned by the progress dialog.
INT_PTR AskAboutNewerCopy(HWND owner);
