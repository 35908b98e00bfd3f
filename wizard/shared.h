// The wizard's process-wide state: the button captions its dialogs share,
// and what its steps decide for the closing actions. What the install needs
// from the wizard is the engine's record (engine/shared.h).
#pragma once

enum { CAPTION_SIZE = 30 };
enum WizardCaption { CAPTION_BACK, CAPTION_NEXT, CAPTION_CANCEL, CAPTION_FINISH };

// The system's own wizard button captions; English until they are harvested.
extern char WizardButtonCaptions[4][CAPTION_SIZE];

// Whether the user wants the README opened, and whether the install completed.
extern int ReadmeWanted;
extern int SetupCompleted;
