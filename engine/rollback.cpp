#include "rollback.h"
#include "install_file.h"
#include "registry_values.h"
#include <windows.h>

namespace {

// A key with its sub-keys, which not every system deletes with the key.
int DeleteKeyTree(HKEY parent, const char* name, int depth)
{
    HKEY key;
    if (depth < 32 && RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char sub[256];
        while (RegEnumKeyA(key, 0, sub, sizeof sub) == ERROR_SUCCESS && DeleteKeyTree(key, sub, depth + 1)) {
        }
        RegCloseKey(key);
    }
    return RegDeleteKeyA(parent, name) == ERROR_SUCCESS;
}

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

int DeleteLoggedFile(const char* path, uint8_t flag)
{
    const int deleted = DeleteFileA(path);
    if (flag == 1) {
        char folder[PATH_SIZE];
        FolderOfPath(folder, path);
        RemoveDirectoryA(folder);
    }
    return deleted;
}

int DeleteLoggedRegistry(const char* key, const char* valueName, uint8_t flag, uint16_t root)
{
    HKEY base = RootKeyOf(root);
    if (!base)
        return 0;
    if (flag != 0)
        return DeleteKeyTree(base, key, 0);
    HKEY opened;
    if (RegOpenKeyExA(base, key, 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS)
        return 0;
    const int deleted = RegDeleteValueA(opened, valueName) == ERROR_SUCCESS;
    RegCloseKey(opened);
    return deleted;
}

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
