#include "staging_folder.h"
#include "base/folders.h"
#include "install_log.h"
#include "log_names.h"
#include "made_folders.h"
#include <string.h>

namespace {

// The folder whose staging folder exists, the path of the file in it, and
// whether the install made that folder.
char StagingFor[PATH_SIZE];
char StagedPath[PATH_SIZE];
int FolderIsNew;

// The folders on the way, from the top: 1 when the folder was there, 2 when
// it has been made, 0 when one cannot be made.
int MakeFolder(const char* folder)
{
    if (PathExists(folder))
        return 1;
    char prefix[PATH_SIZE];
    StartPathPrefixes();
    while (NextPathPrefix(folder, prefix)) {
        if (PathExists(prefix))
            continue;
        if (!CreateDirectoryA(prefix, NULL))
            return 0;
        RememberMadeFolder(prefix);
    }
    return 2;
}

// The record comes first, so that the log names the folder from the moment
// it exists; one that is there already is someone else's.
int EnterStagingFolder(const char* folder)
{
    char staged[PATH_SIZE], stagingFolder[PATH_SIZE];
    const int made = StagedFilePath(staged, folder, InstallLogPath()) ? MakeFolder(folder) : 0;
    if (!made)
        return INSTALL_FAILED;
    if (!AppendToInstallLog(LogRecord{LOG_FILE, 1, staged, 0, nullptr}))
        return INSTALL_NOT_LOGGED;
    FolderOfPath(stagingFolder, staged);
    if (!CreateDirectoryA(stagingFolder, NULL)) {
        WithdrawLastLogRecord();
        return INSTALL_FAILED;
    }
    memcpy(StagingFor, folder, PATH_SIZE);
    memcpy(StagedPath, staged, PATH_SIZE);
    FolderIsNew = made == 2;
    return INSTALL_DONE;
}

} // namespace

int StagedPathFor(const char* target, const char** staged, int* folderIsNew)
{
    char folder[PATH_SIZE];
    FolderOfPath(folder, target);
    if (!StagingFor[0] || !SameText(folder, StagingFor)) {
        LeaveStagingFolder();
        const int entered = EnterStagingFolder(folder);
        if (entered != INSTALL_DONE)
            return entered;
    }
    *staged = StagedPath;
    *folderIsNew = FolderIsNew;
    return INSTALL_DONE;
}

void LeaveStagingFolder()
{
    if (!StagingFor[0])
        return;
    char stagingFolder[PATH_SIZE];
    FolderOfPath(stagingFolder, StagedPath);
    RemoveDirectoryA(stagingFolder);
    StagingFor[0] = 0;
}
