// The system's open-file dialog turned into a folder chooser: a filter no
// file matches leaves only folders, and a template adds a field for the name
// of the folder to make in the folder the user goes to.
#pragma once
#include "app/paths.h"
#include <windows.h>

struct FolderPicker {
    char chosen[PATH_SIZE];  // the result: the ended folder and the typed name
    char initial[PATH_SIZE]; // where the dialog opens
    char title[100];
    HWND owner;
};

extern FolderPicker Picker;
// The sub-folder name the template's field shows and gives back.
extern char FolderName[PATH_SIZE];
// Replaces the label of the dialog's folder box.
extern char FolderLabel[104];
// The label above the name field.
extern char NameLabel[104];

// 1 when the user pressed OK: chosen is then set and BaseFolder is the folder
// the dialog ended in, with a trailing backslash. 2 when the dialog was
// cancelled or failed; nothing changes then.
int RunFolderPicker();
