#include "install_file.h"
#include "base/folders.h"
#include "made_folders.h"
#include "older_copies.h"
#include <string.h>


static size_t PrefixOffset;

void StartPathPrefixes()
{
    PrefixOffset = 0;
}

int NextPathPrefix(const char* path, char* out)
{
    const char* p = path + PrefixOffset;
    while (*p && *p != '\\')
        p = NextChar(p);
    if (!*p)
        return 0;
    PrefixOffset = (size_t)(p + 1 - path);
    memcpy(out, path, PrefixOffset);
    out[PrefixOffset] = 0;
    return 1;
}

static HANDLE OpenForWriting(const char* path, DWORD disposition)
{
    return CreateFileA(path, GENERIC_WRITE, FILE_SHARE_WRITE, NULL, disposition, FILE_ATTRIBUTE_NORMAL, NULL);
}

// The folders on the way, from the top; 0 when one cannot be made.
static int MakeFoldersOf(const char* path)
{
    char folder[PATH_SIZE], prefix[PATH_SIZE];
    FolderOfPath(folder, path);
    if (PathExists(folder))
        return 0;
    StartPathPrefixes();
    while (NextPathPrefix(folder, prefix)) {
        if (PathExists(prefix))
            continue;
        if (!CreateDirectoryA(prefix, NULL))
            return 0;
        RememberMadeFolder(prefix);
    }
    return 1;
}

HANDLE CreateTargetFile(const char* path, DWORD disposition)
{
    HANDLE file = OpenForWriting(path, disposition);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS && MakeFoldersOf(path))
        file = OpenForWriting(path, disposition);
    return file;
}

// Whether the copy on the disk was created after the record's; its size and
// creation time go into the item.
static int NewerOnDisk(InstallItem& item)
{
    HANDLE existing = CreateFileA(item.targetPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (existing == INVALID_HANDLE_VALUE)
        return 0;
    item.existingSize = GetFileSize(existing, NULL);
    const int newer = GetFileTime(existing, &item.existingCreated, NULL, NULL) &&
                      CompareFileTime(&item.existingCreated, &item.created) > 0;
    CloseHandle(existing);
    return newer;
}

// Fills the target, opened for writing: a carried file in one write straight
// from the data block, its times and attributes set; a reference copied over
// it with the source's times. A failure (a short write on a full disk, a
// missing source) leaves no partial file.
static int FillTarget(const InstallItem& item, HANDLE file)
{
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    if (item.sourcePath[0]) {
        CloseHandle(file);
        if (!CopyFileA(item.sourcePath, item.targetPath, FALSE)) {
            DeleteFileA(item.targetPath);
            return 0;
        }
        SetFileAttributesA(item.targetPath, GetFileAttributesA(item.targetPath) & ~FILE_ATTRIBUTE_READONLY);
        return 1;
    }
    DWORD written = 0;
    if (!WriteFile(file, item.body, item.size, &written, NULL) || written != item.size) {
        CloseHandle(file);
        DeleteFileA(item.targetPath);
        return 0;
    }
    SetFileTime(file, &item.created, NULL, &item.modified);
    CloseHandle(file);
    SetFileAttributesA(item.targetPath, item.attributes);
    return 1;
}

int InstallFile(InstallItem& item, int checkNewer)
{
    // Most targets are new. One open that creates only a new file answers
    // whether one is there and creates it, where a look first would search
    // the folder twice for a name that is not there.
    HANDLE file = CreateTargetFile(item.targetPath, CREATE_NEW);
    if (file != INVALID_HANDLE_VALUE)
        return FillTarget(item, file) ? INSTALL_DONE : INSTALL_FAILED;
    if (checkNewer && NewerOnDisk(item))
        return INSTALL_NEWER_ON_DISK;
    const int setAside = SetAsideOlderCopy(item.targetPath);
    if (!setAside)
        return INSTALL_FAILED;
    if (FillTarget(item, CreateTargetFile(item.targetPath, CREATE_ALWAYS)))
        return INSTALL_DONE;
    if (setAside == 2)
        PutBackLastOlderCopy();
    return INSTALL_FAILED;
}
