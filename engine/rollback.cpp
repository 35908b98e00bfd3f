#include "rollback.h"
#include "app/paths.h"
#include "log_undo.h"
#include <windows.h>

namespace {

// The whole log in memory, read within its size; null when it cannot be read.
uint8_t* ReadWholeLog(const char* path, DWORD* size)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    *size = GetFileSize(file, NULL);
    uint8_t* bytes = *size != INVALID_FILE_SIZE ? (uint8_t*)VirtualAlloc(NULL, *size + 1, MEM_COMMIT, PAGE_READWRITE)
                                                : nullptr;
    DWORD read = 0;
    if (bytes && (!ReadFile(file, bytes, *size, &read, NULL) || read != *size)) {
        VirtualFree(bytes, 0, MEM_RELEASE);
        bytes = nullptr;
    }
    CloseHandle(file);
    return bytes;
}

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
