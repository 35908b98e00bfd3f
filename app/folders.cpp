#include "folders.h"
#include "paths.h"
#include <windows.h>

void FillTempDir()
{
    EndFolderString(TempDir, GetTempPathA(PATH_SIZE, TempDir));
}

void FillWindowsDir()
{
    EndFolderString(WindowsDir, GetWindowsDirectoryA(WindowsDir, PATH_SIZE));
}

void FillSystemDir()
{
    EndFolderString(SystemDir, GetSystemDirectoryA(SystemDir, PATH_SIZE));
}

void FillSetupDir()
{
    const DWORD n = GetModuleFileNameA(NULL, SetupDir, PATH_SIZE);
    if (n == 0 || n >= PATH_SIZE)
        SetupDir[0] = 0;
    else
        CutToFolder(SetupDir);
}
