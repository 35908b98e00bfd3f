#include "install_file.h"
#include "install_log.h"
#include "older_copies.h"
#include "staging_folder.h"
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

// Attributes a file can be created with. Windows gives a new file the
// archive bit, so only a set that holds it comes out as asked; any other
// is set after the file is written. Most files are archived, and are spared
// the second call, which costs as much as the write under Wine.
enum : uint32_t {
    CREATED_ATTRIBUTES = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE
};

// Writes the file at staged: a carried file in one write straight from the
// data block, its times and attributes set; a reference copied with the
// source's times. On a failure (a short write on a full disk, a missing
// source) the caller deletes what is at staged.
static int WriteStaged(const InstallItem& item, const char* staged)
{
    if (item.sourcePath[0]) {
        if (!CopyFileA(item.sourcePath, staged, FALSE))
            return 0;
        SetFileAttributesA(staged, GetFileAttributesA(staged) & ~FILE_ATTRIBUTE_READONLY);
        return 1;
    }
    const int atCreation = (item.attributes & FILE_ATTRIBUTE_ARCHIVE) && !(item.attributes & ~CREATED_ATTRIBUTES);
    HANDLE file = CreateFileA(staged, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              atCreation ? item.attributes : FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD written = 0;
    const int whole = WriteFile(file, item.body, item.size, &written, NULL) && written == item.size;
    if (whole)
        SetFileTime(file, &item.created, NULL, &item.modified);
    CloseHandle(file);
    if (whole && !atCreation)
        SetFileAttributesA(staged, item.attributes);
    return whole;
}

// The whole file takes the target's name. The copy it replaces is set aside
// before the log names the target, and the log names it before it is
// there: at every moment the log and the names beside the target tell what
// to remove and what to put back. In a folder the install made, what has
// the name already is the install's own (a file the package names twice).
static int TakeTargetName(const InstallItem& item, const char* staged, int replaces, int folderIsNew)
{
    const int aside = replaces ? SetAsideOlderCopy(item.targetPath) : OLDER_COPY_NONE;
    if (aside == OLDER_COPY_IS_OWN)
        return MoveFileExA(staged, item.targetPath, MOVEFILE_REPLACE_EXISTING) ? INSTALL_DONE : INSTALL_FAILED;
    if (!aside)
        return INSTALL_FAILED;
    const LogRecord r = {LOG_FILE, (uint8_t)(item.flags & INSTALL_REMOVES_FOLDER), item.targetPath, 0, nullptr};
    int result = INSTALL_NOT_LOGGED;
    if (AppendToInstallLog(r)) {
        if (MoveFileExA(staged, item.targetPath, folderIsNew ? MOVEFILE_REPLACE_EXISTING : 0))
            return INSTALL_DONE;
        WithdrawLastLogRecord();
        result = INSTALL_FAILED;
    }
    if (aside == OLDER_COPY_SET_ASIDE)
        PutBackLastOlderCopy();
    return result;
}

// One look at the target tells whether it is there, whether it may be
// replaced, and whether it was created after the record's copy. A folder
// the install made needs no look: most files of an install go into one.
int InstallFile(InstallItem& item, int checkNewer)
{
    const char* staged;
    int folderIsNew;
    int result = StagedPathFor(item.targetPath, &staged, &folderIsNew);
    if (result != INSTALL_DONE)
        return result;
    WIN32_FILE_ATTRIBUTE_DATA found;
    const int replaces = !folderIsNew && GetFileAttributesExA(item.targetPath, GetFileExInfoStandard, &found);
    if (replaces) {
        // What could not be overwritten is not replaced either.
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))
            return INSTALL_FAILED;
        item.existingSize = found.nFileSizeLow;
        item.existingCreated = found.ftCreationTime;
        if (checkNewer && CompareFileTime(&found.ftCreationTime, &item.created) > 0)
            return INSTALL_NEWER_ON_DISK;
    }
    result = WriteStaged(item, staged) ? TakeTargetName(item, staged, replaces, folderIsNew) : INSTALL_FAILED;
    if (result != INSTALL_DONE) {
        SetFileAttributesA(staged, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(staged);
    }
    // A retry makes the staging folder again, should something have taken it.
    if (result == INSTALL_FAILED)
        LeaveStagingFolder();
    return result;
}
