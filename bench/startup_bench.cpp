// Time from the start of the program to its question, from the user's yes to
// the background window, and from the start to the wizard's Welcome step
// (the question answered at once), for a setup program built by qpack; run
// under Wine with QI_E2E_PACKAGES naming the test packages.
#include "driver/scratch_folder.h"
#include "driver/window_driver.h"
#include <algorithm>
#include <stdio.h>
#include <stdlib.h>
#include <vector>

int main()
{
    const char* folder = getenv("QI_E2E_PACKAGES");
    if (!folder) {
        fprintf(stderr, "QI_E2E_PACKAGES must name the folder of the test packages\n");
        return 2;
    }
    ScratchFolder work("startup-bench");
    std::vector<DWORD> toQuestion, toBackground, toWelcome;
    for (int run = 0; run < 5; run++) {
        RunningProgram setup;
        const DWORD start = GetTickCount();
        if (!StartProgram(setup, std::string(folder) + "/solid.exe", work.path))
            return 1;
        HWND question = WaitForWindow(setup, "#32770", "Setup");
        const DWORD asked = GetTickCount();
        PressButton(question, IDYES);
        HWND background = WaitForWindow(setup, "INSTALL", nullptr);
        const DWORD shown = GetTickCount();
        HWND welcome = WaitForWindow(setup, "#32770", "Welcome");
        const DWORD welcomed = GetTickCount();
        if (!question || !background || !welcome)
            return 1;
        toQuestion.push_back(asked - start);
        toBackground.push_back(shown - asked);
        toWelcome.push_back(welcomed - start);
        PostMessageA(background, WM_CLOSE, 0, 0);
        WaitForExit(setup);
    }
    std::sort(toQuestion.begin(), toQuestion.end());
    std::sort(toBackground.begin(), toBackground.end());
    std::sort(toWelcome.begin(), toWelcome.end());
    printf("start to question: %lu ms (median of 5)\n", toQuestion[2]);
    printf("yes to background window: %lu ms (median of 5)\n", toBackground[2]);
    printf("start to the Welcome step: %lu ms (median of 5)\n", toWelcome[2]);
    return 0;
}
