// The Start-menu group step: an existing folder below the user's Programs
// folder, or a new one whose name the user types.
#pragma once
#include <windows.h>

// Takes the default group name from the package and fills the name and the list.
void PrepareGroupStep(HWND wizard);
// On every entry to the step: the Programs folder is read again and made current.
void EnterGroupStep();
// A double click in the list of sub-folders moves into the folder clicked.
void OpenGroupListItem(HWND wizard);
// Next on the step: 1 when the step is left (GroupFolder set, or null when
// the user goes on without a group), 0 when it stays.
int AcceptGroup(HWND wizard);
