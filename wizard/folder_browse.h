// The system's open-file dialog turned into a folder chooser: a filter no
// file matches leaves only folders, and a template adds a field for the name
// of the folder to make in the folder the user goes to.
#pragma once
#include "base/paths.h"
#include <windows.h>

struct FolderPickerTexts {
    HWND owner;
    const char* title;
    const char* initial;     // where the dialog opens
    const char* name;        // the sub-folder name the template's field shows
    const char* folderLabel; // replaces the label of the dialog's folder box
    const char* nameLabel;   // the label above the name field
};

struct FolderChoice {
    char folder[PATH_SIZE]; // the folder the dialog ended in, with a trailing backslash
    char chosen[PATH_SIZE]; // that folder and the name typed; empty when it would not fit
};

// 1 when the user pressed OK, and choice is set; 2 when the dialog was
// cancelled or failed, and choice stays as it was.
int RunFolderPicker(const FolderPickerTexts& texts, FolderChoice& choice);
