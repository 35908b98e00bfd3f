#include "wizard_state.h"

char WizardButtonCaptions[4][CAPTION_SIZE] = {"Back", "Next", "Cancel", "Finish"};
char BaseFolder[PATH_SIZE];
char* GroupFolder;
char GroupFolderPath[PATH_SIZE];
char ReadmePath[PATH_SIZE];
int ReadmeWanted;
int SetupCompleted;
