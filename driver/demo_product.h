// The demo product of examples/demo as the tests and the benchmark install
// it: where it goes, and taking it all away again.
#pragma once
#include "driver/scratch_folder.h"
#include "res/resource_ids.h"
#include "window_driver.h"

const char DemoFolder[] = "C:\\Program files\\QInstall Demo\\";

// From the Welcome step through License, Destination and the group step to
// Ready, then Install without waiting: the wizard, or null.
inline HWND WalkDemoToInstall(const RunningProgram& setup)
{
    HWND wizard = WaitForWindow(setup, "#32770", "Welcome");
    for (int i = 0; wizard && i < 4; i++)
        PressButton(wizard, IDC_NEXT);
    return wizard && WindowText(wizard) == "Ready to install" && PressButtonLater(wizard, IDC_NEXT) ? wizard : NULL;
}

inline void RemoveDemoInstall()
{
    ScratchFolder::Remove(DemoFolder);
    ScratchFolder::Remove(ShellFolder("Programs") + "QInstall Demo\\");
    DeleteFileA((ShellFolder("Desktop") + "QInstall Demo Manual.lnk").c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QInstall Demo");
    RemoveUninstallEntries("QInstall Demo 1.0");
    EndProcessesOf("explorer.exe", "QInstall Demo");
}
