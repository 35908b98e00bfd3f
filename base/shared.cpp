#include "shared.h"

HINSTANCE Instance;
HWND BackgroundWindow;
// Empty and silent; start-up sets its file and pause before it plays.
SoundPlayer BackgroundSound;
