#include "shared.h"

InstallChoices Choices;
volatile LONG CancelRequested;
ProgressBar InstallBar;
