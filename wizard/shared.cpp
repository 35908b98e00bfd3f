#include "shared.h"

char WizardButtonCaptions[4][CAPTION_SIZE] = {"Back", "Next", "Cancel", "Finish"};
int ReadmeWanted;
int SetupCompleted;
