#include "temporary_copy.h"
#include "base/folders.h"
#include "base/paths.h"
#include "base/temp_folder.h"
#include "engine/run_program.h"
#include <stdlib.h>
#include <windows.h>

namespace {

const char CopyMark[] = "/T";
int IsTemporaryCopy;

void WaitForProcess(DWORD id)
{
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (!process)
        return;
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
}

} // namespace

int TakeOverInTemporaryCopy(int count, char** arguments, const char* logPath)
{
    if (count == 4 && SameText(arguments[1], CopyMark)) {
        IsTemporaryCopy = 1;
        WaitForProcess((DWORD)strtoul(arguments[2], NULL, 10));
        return 1;
    }
    FillTempDir();
    const char* folder = PrivateTempFolder();
    char copy[PATH_SIZE], self[PATH_SIZE], copyArguments[PATH_SIZE + 32];
    const DWORD n = GetModuleFileNameA(NULL, self, PATH_SIZE);
    if (!folder[0] || !n || n >= PATH_SIZE || !JoinPath(copy, folder, "quninst.exe") || !CopyFileA(self, copy, FALSE))
        return 1;
    wsprintfA(copyArguments, "%s %lu \"%s\"", CopyMark, GetCurrentProcessId(), logPath);
    if (RunProgram(copy, copyArguments, 0) != -1)
        return 0;
    RemovePrivateTempFolder();
    return 1;
}

void RemoveTemporaryCopyLater()
{
    char self[PATH_SIZE], folder[PATH_SIZE];
    const DWORD n = IsTemporaryCopy ? GetModuleFileNameA(NULL, self, PATH_SIZE) : 0;
    if (!n || n >= PATH_SIZE)
        return;
    FolderOfPath(folder, self);
    MoveFileExA(self, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExA(folder, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
}
