// The ground floor's process-wide state, every piece of it: set once at
// start-up (the standard folders, the module) or owned by one thread and
// read by the others through their own calls (the background window, its
// sound). Every layer may read it; what writes each is said beside it.
#pragma once
#include "paths.h"

// The standard folder strings, filled at start-up by folders.h. The
// destination is the one folder code 0 names: the wizard fills it, the
// package's records and the install resolve their names against it.
extern char TempDir[PATH_SIZE];
extern char WindowsDir[PATH_SIZE];
extern char SystemDir[PATH_SIZE];
extern char SetupDir[PATH_SIZE];
extern char DestinationPath[PATH_SIZE];

// Lead-byte ranges of the ANSI code page, as pairs of first and last byte
// ended by a 0 pair, the way the system reports them; all 0 for single-byte
// code pages. Double-byte code pages put 0x5C, the backslash, inside
// characters, so paths are walked by character with these ranges. The
// programs fill them from the system at start-up; a tool that reads a
// package, from the package's code page (package/data_records.h).
extern unsigned char LeadByteRanges[12];

#ifdef _WIN32
#include "sound_player.h"
#include <windows.h>

// The program's module, for every resource and dialog it loads.
extern HINSTANCE Instance;

// The full-screen background window of the setup program, made by the
// frame; null until it exists and in the uninstaller. Others reach it only
// by messages: closing it ends the setup, and WM_REPLACE_BANNER
// (banner_message.h) changes its banner.
extern HWND BackgroundWindow;

// The background sound, started by the frame and stopped before the
// temporary files go.
extern SoundPlayer BackgroundSound;
#endif
