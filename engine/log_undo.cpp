#include "log_undo.h"
#include "base/paths.h"
#include "log_format.h"
#include "log_names.h"
#include "package/data_records.h"

HKEY RootKeyOf(uint16_t code)
{
    switch (code) {
    case ROOT_CLASSES: return HKEY_CLASSES_ROOT;
    case ROOT_CURRENT_USER: return HKEY_CURRENT_USER;
    case ROOT_LOCAL_MACHINE: return HKEY_LOCAL_MACHINE;
    case ROOT_USERS: return HKEY_USERS;
    case ROOT_CURRENT_CONFIG: return HKEY_CURRENT_CONFIG;
    default: return NULL;
    }
}

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

} // namespace

// A file the install made read-only is the install's to delete all the same.
// The copy it replaced goes back in its place; after an install that was cut
// off, that copy may wait beside a file that never took its place.
int DeleteLoggedFile(const char* path, uint8_t flag, const char* logPath)
{
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    const int gone =
        DeleteFileA(path) || GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
    char aside[PATH_SIZE];
    if (gone && OlderCopyName(aside, path, logPath))
        MoveFileA(aside, path);
    if (flag == 1) {
        char folder[PATH_SIZE];
        FolderOfPath(folder, path);
        RemoveDirectoryA(folder);
    }
    return gone;
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

uint8_t* ReadWholeLog(const char* path, DWORD* size)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    *size = GetFileSize(file, NULL);
    uint8_t* bytes = *size <= LOG_SIZE_MAX ? (uint8_t*)VirtualAlloc(NULL, *size + 1, MEM_COMMIT, PAGE_READWRITE)
                                           : nullptr;
    DWORD read = 0;
    if (bytes && (!ReadFile(file, bytes, *size, &read, NULL) || read != *size)) {
        VirtualFree(bytes, 0, MEM_RELEASE);
        bytes = nullptr;
    }
    CloseHandle(file);
    return bytes;
}
