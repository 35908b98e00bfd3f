#include "rollback.h"
#include "app/paths.h"
#include "log_undo.h"
#include <windows.h>

namespace {

void Undo(const LogRecord& r)
{
    if (r.kind == LOG_FILE)
        DeleteLoggedFile(r.text, r.flag);
    else if (r.kind == LOG_REGISTRY)
        DeleteLoggedRegistry(r.text, r.valueName, r.flag, r.root);
}

} // namespace

// A damaged record ends the replay; the log's own files go in any case.
void ReplayLog(const char* logPath)
{
    DWORD size = 0;
    uint8_t* log = ReadWholeLog(logPath, &size);
    uint32_t count = 0;
    ByteCursor c;
    LogRecord uninstaller;
    if (log && OpenLogBytes(log, size, &count, &c) && count && ReadLogRecord(c, uninstaller)) {
        LogRecord r;
        for (uint32_t i = 1; i < count && ReadLogRecord(c, r); i++)
            Undo(r);
        DeleteFileA(uninstaller.text);
    }
    if (log)
        VirtualFree(log, 0, MEM_RELEASE);
    DeleteFileA(logPath);
    char folder[PATH_SIZE];
    FolderOfPath(folder, logPath);
    RemoveDirectoryA(folder);
}
