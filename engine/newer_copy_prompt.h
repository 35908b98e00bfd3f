// The question when the disk holds a newer copy of a file the install
// brings: keep it, overwrite it, or abort the install.
#pragma once
#include "file_records.h"
#include <windows.h>

// About the item's target, with the record's and the disk's copy (as the
// newer-copy test found it): IDC_NEWER_KEEP, IDC_NEWER_OVERWRITE, or
// IDCANCEL (also Escape and the close box) to abort. Called on the worker
// thread, owned by the progress dialog.
INT_PTR AskAboutNewerCopy(HWND owner, const InstallItem& item);
