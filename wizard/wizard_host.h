// The whole dialogue of the setup on behalf of the background window: the
// system's wizard button captions, the wizard, and what follows a completed
// install (README, the group folder, a restart or log-off).
#pragma once
#include <windows.h>

// Runs once, when the background window has been created, and ends by
// closing the background window.
void RunWizardHost(HWND background);

// What follows a completed install.
void RunClosingActions(HWND background);
