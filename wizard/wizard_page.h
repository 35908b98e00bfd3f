// The setup's wizard: one dialog with the controls of all six steps, of which
// a step switch shows one step's at a time, and the picture of the step in
// its left column.
#pragma once
#include <windows.h>

enum WizardStep {
    STEP_WELCOME = 0,
    STEP_LICENSE = 1,
    STEP_DESTINATION = 2,
    STEP_GROUP = 3,
    STEP_READY = 4,
    STEP_FINISH = 5,
    STEP_FINISHED = 6,
};

// Ends with 1 when Finish is pressed and 2 when the user cancels; what the
// user chose is left in the wizard state.
INT_PTR CALLBACK WizardProc(HWND wizard, UINT message, WPARAM wParam, LPARAM lParam);
