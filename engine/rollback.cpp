#include "rollback.h"
#include "base/paths.h"
#include "install_folders.h"
#include "log_undo.h"
#include <windows.h>

void ReplayLog(uint8_t* records, size_t size, const char* logPath)
{
    char folder[PATH_SIZE];
    FolderOfPath(folder, logPath);
    const InstallFolders& folders = FindInstallFolders(folder);
    ByteCursor c = CursorOver(records, size);
    const char* uninstaller = nullptr;
    LogRecord r;
    for (uint32_t i = 0; ReadLogRecord(c, r); i++) {
        if (!RecordIsBelievable(r, i, folders))
            continue;
        if (i == 0)
            uninstaller = r.text;
        else if (r.kind == LOG_FILE)
            DeleteLoggedFile(r.text, r.flag, logPath);
        else if (r.kind == LOG_REGISTRY)
            DeleteLoggedRegistry(r.text, r.valueName, r.flag, r.root);
    }
    if (uninstaller)
        DeleteFileA(uninstaller);
    DeleteFileA(logPath);
    RemoveDirectoryA(folder);
}
