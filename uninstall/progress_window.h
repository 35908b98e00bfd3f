// The uninstaller's window: what is being removed, and the drawn progress
// bar of the setup program. It lives on the one thread the uninstaller has,
// which lets it paint between two removals.
#pragma once
#include <stdint.h>
#include <windows.h>

// The window, shown; null when it cannot be made (the removal goes on without it).
HWND OpenProgressWindow(const char* title);
// Shows the text and the bar at percent, and handles what waits for the window.
void ShowProgress(HWND window, const char* text, uint32_t percent);
