// The engine's process-wide state: what the install takes from the wizard
// and gives back to it, and what its dialog shares with its worker thread.
#pragma once
#include "base/drawn_controls.h"
#include "base/paths.h"
#include <windows.h>

// The wizard fills this record before the install starts (the destination
// folder is the folder code's, in base/shared.h); the install marks the
// README in it, which the closing actions open.
struct InstallChoices {
    // The Start-menu group with a trailing backslash, pointing at groupPath;
    // null when the product gets no group links.
    char* group;
    char groupPath[PATH_SIZE];
    char readme[PATH_SIZE]; // the installed README, if the package marks one
};
extern InstallChoices Choices;

// The user-interface thread only sets the request, the worker reads and
// clears it once per file.
extern volatile LONG CancelRequested;
// The progress dialog's bar, which the worker moves.
extern ProgressBar InstallBar;
