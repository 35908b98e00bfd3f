// A full install of the demo product, from Install to the Finish step, five
// times with the machine cleared in between. Run under Wine:
//   demo_bench.exe DEMO_SETUP_PROGRAM
#include "tests/e2e/demo_product.h"
#include <algorithm>
#include <stdio.h>

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: demo_bench DEMO_SETUP_PROGRAM\n");
        return 2;
    }
    ScratchFolder work("demo-bench");
    const std::string temp = work / "temp\\";
    CreateDirectoryA(temp.c_str(), NULL);
    DWORD times[5];
    for (DWORD& ms : times) {
        RemoveDemoInstall();
        RunningProgram setup;
        if (!StartProgram(setup, argv[1], temp))
            return 1;
        HWND question = WaitForWindow(setup, "#32770", "Setup");
        if (!question || !PressButton(question, IDYES))
            return 1;
        HWND wizard = WalkDemoToInstall(setup);
        const DWORD start = GetTickCount();
        while (wizard && WindowText(wizard) != "Setup completed" && GetTickCount() - start < 60000)
            Sleep(10);
        ms = GetTickCount() - start;
        if (!wizard || WindowText(wizard) != "Setup completed")
            return 1;
        PressButton(wizard, IDC_README);
        PressButton(wizard, IDC_NEXT);
        WaitForExit(setup);
    }
    RemoveDemoInstall();
    std::sort(times, times + 5);
    printf("demo product, Install to Finish: median %lu ms (fastest %lu, slowest %lu)\n", times[2], times[0], times[4]);
    return 0;
}
