// What the wizard's steps decide and the install and the closing actions read.
#pragma once
#include "app/paths.h"

enum { CAPTION_SIZE = 30 };
enum WizardCaption { CAPTION_BACK, CAPTION_NEXT, CAPTION_CANCEL, CAPTION_FINISH };

// The system's own wizard button captions; English until they are harvested.
extern char WizardButtonCaptions[4][CAPTION_SIZE];

// The folder the destination folder is made in.
extern char BaseFolder[PATH_SIZE];
// The Start-menu group with a trailing backslash; null when the product gets
// no group shortcuts.
extern char* GroupFolder;
extern char GroupFolderPath[PATH_SIZE];
// The installed README, if the package marks one.
extern char ReadmePath[PATH_SIZE];
extern int ReadmeWanted;
extern int SetupCompleted;
