#include "older_copies.h"
#include "base/paths.h"
#include "install_log.h"
#include "log_names.h"
#include <windows.h>

namespace {

struct OlderCopy {
    OlderCopy* previous;
    char path[PATH_SIZE];
    char aside[PATH_SIZE];
};

OlderCopy* LastCopy;

OlderCopy* Forget(OlderCopy* copy)
{
    OlderCopy* previous = copy->previous;
    HeapFree(GetProcessHeap(), 0, copy);
    return previous;
}

int IsSetAside(const char* aside)
{
    for (const OlderCopy* copy = LastCopy; copy; copy = copy->previous)
        if (!lstrcmpiA(copy->aside, aside))
            return 1;
    return 0;
}

} // namespace

int SetAsideOlderCopy(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return OLDER_COPY_NONE;
    // What could not be overwritten is not replaced either.
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))
        return OLDER_COPY_REFUSED;
    char aside[PATH_SIZE];
    if (!OlderCopyName(aside, path, InstallLogPath()))
        return OLDER_COPY_REFUSED;
    // A file the package names twice replaces its own first copy, which the
    // log names already; the user's copy stays aside.
    if (IsSetAside(aside))
        return OLDER_COPY_IS_OWN;
    OlderCopy* copy = (OlderCopy*)HeapAlloc(GetProcessHeap(), 0, sizeof(OlderCopy));
    if (!copy)
        return OLDER_COPY_REFUSED;
    if (!MoveFileExA(path, aside, 0)) {
        HeapFree(GetProcessHeap(), 0, copy);
        return OLDER_COPY_REFUSED;
    }
    // The aside name is the longer, so the path fits as well.
    lstrcpynA(copy->path, path, PATH_SIZE);
    lstrcpynA(copy->aside, aside, PATH_SIZE);
    copy->previous = LastCopy;
    LastCopy = copy;
    return OLDER_COPY_SET_ASIDE;
}

void PutBackLastOlderCopy()
{
    if (!LastCopy)
        return;
    MoveFileExA(LastCopy->aside, LastCopy->path, MOVEFILE_REPLACE_EXISTING);
    LastCopy = Forget(LastCopy);
}

void ForgetOlderCopies()
{
    while (LastCopy)
        LastCopy = Forget(LastCopy);
}

void DropOlderCopies()
{
    while (LastCopy) {
        SetFileAttributesA(LastCopy->aside, FILE_ATTRIBUTE_NORMAL);
        // A copy still in use (a running program) goes when Windows next starts.
        if (!DeleteFileA(LastCopy->aside))
            MoveFileExA(LastCopy->aside, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
        LastCopy = Forget(LastCopy);
    }
}
