#include "folders.h"
#include "paths.h"
#include "shared.h"
#include <string.h>
#include <windows.h>

void ReadLeadByteRanges()
{
    CPINFO info;
    if (GetCPInfo(CP_ACP, &info))
        memcpy(LeadByteRanges, info.LeadByte, sizeof LeadByteRanges);
}

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

// 1 when the wide path has an ANSI spelling that names the same file.
static int SpellInAnsi(const wchar_t* path, char* out)
{
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path, -1, out, PATH_SIZE, NULL, &lossy);
    return n > 0 && !lossy;
}

// A folder whose name the ANSI code page cannot spell is reached through its
// short name, so that files beside the setup are still found.
void FillSetupDir()
{
    wchar_t path[PATH_SIZE], shortPath[PATH_SIZE];
    const DWORD n = GetModuleFileNameW(NULL, path, PATH_SIZE);
    SetupDir[0] = 0;
    if (n == 0 || n >= PATH_SIZE)
        return;
    if (!SpellInAnsi(path, SetupDir)) {
        const DWORD s = GetShortPathNameW(path, shortPath, PATH_SIZE);
        if (s == 0 || s >= PATH_SIZE || !SpellInAnsi(shortPath, SetupDir)) {
            SetupDir[0] = 0;
            return;
        }
    }
    CutToFolder(SetupDir);
}

int PathExists(const char* path)
{
    char resolved[PATH_SIZE];
    const DWORD n = GetShortPathNameA(path, resolved, PATH_SIZE);
    return n != 0;
}

int FreeSpaceOf(const char* path, uint64_t* bytes)
{
    char folder[PATH_SIZE];
    if (!JoinPath(folder, path, ""))
        return 0;
    while (!PathExists(folder)) {
        const size_t before = strlen(folder);
        if (EndsInBackslash(folder))
            folder[before - 1] = 0;
        CutToFolder(folder);
        if (!folder[0] || strlen(folder) >= before)
            return 0;
    }
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExA(folder, &available, NULL, NULL))
        return 0;
    *bytes = available.QuadPart;
    return 1;
}
