// The Destination step: the folder the product goes to, proposed under
// "C:\Program files" and chosen with the folder chooser, and the disk space
// the install needs beside the space the disk has.
#pragma once
#include <windows.h>

// Fills DestinationPath and shows it; leaves nothing on the disk.
void ProposeDestination(HWND wizard);
// The size texts on entering the step: the available size only the first time.
void ShowDestinationSizes(HWND wizard);
// Next on the step: 1 when the wizard may go on, 0 when it stays (the user
// did not want the existing folder and chose again).
int ConfirmExistingDestination(HWND wizard);
// The Browse button: lets the user choose, checks the choice and measures the
// disk it is on.
void BrowseForDestination(HWND wizard);
