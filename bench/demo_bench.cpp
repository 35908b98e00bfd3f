// A full install of the demo product, from Install to the Finish step, and
// its removal, from the Yes to the uninstaller's question to its report;
// five times each. Run under Wine:
//   demo_bench.exe DEMO_SETUP_PROGRAM
#include "driver/demo_product.h"
#include <algorithm>
#include <stdio.h>

namespace {

const char Entry[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QInstall Demo 1.0 QX001";

// From Yes to the report; 0 when the removal did not run its course.
DWORD Uninstall(const std::string& temp)
{
    char command[1024] = "";
    DWORD size = sizeof command;
    RegGetValueA(HKEY_LOCAL_MACHINE, Entry, "UninstallString", RRF_RT_REG_SZ, NULL, command, &size);
    RunningProgram first, copy;
    if (!StartCommandLine(first, command, temp) || WaitForExit(first) != 0 || !FindProgram(copy, "quninst.exe"))
        return 0;
    HWND question = WaitForWindow(copy, "#32770", "QInstall Demo 1.0");
    if (!question)
        return 0;
    const DWORD start = GetTickCount();
    PressButtonLater(question, IDYES);
    HWND report = NULL;
    while (!report && GetTickCount() - start < 60000) {
        HWND box = WaitForMessageBox(copy, "QInstall Demo 1.0", 10);
        if (box != question)
            report = box;
    }
    const DWORD ms = GetTickCount() - start;
    PressButton(report, IDOK);
    return WaitForExit(copy) == 0 && report ? ms : 0;
}

void Print(const char* what, DWORD* times)
{
    std::sort(times, times + 5);
    printf("demo product, %s: median %lu ms (fastest %lu, slowest %lu)\n", what, times[2], times[0], times[4]);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: demo_bench DEMO_SETUP_PROGRAM\n");
        return 2;
    }
    ScratchFolder work("demo-bench");
    const std::string temp = work / "temp\\";
    CreateDirectoryA(temp.c_str(), NULL);
    DWORD times[5], removals[5];
    for (int run = 0; run < 5; run++) {
        DWORD& ms = times[run];
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
        Sleep(500);
        EndProcessesOf("explorer.exe", "QInstall Demo");
        removals[run] = Uninstall(temp);
        if (!removals[run])
            return 1;
    }
    RemoveDemoInstall();
    Print("Install to Finish", times);
    Print("uninstall, Yes to its report", removals);
    return 0;
}
