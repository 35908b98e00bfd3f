#include "older_copies.h"
#include "base/paths.h"
#include <windows.h>

namespace {

struct OlderCopy {
    OlderCopy* previous;
    char path[PATH_SIZE];
    char aside[PATH_SIZE];
};

OlderCopy* LastCopy;

// The first free name of the form "<path>.~q<n>" beside the file.
int MoveAside(const char* path, char* aside)
{
    for (int n = 0; n < 100; n++) {
        char suffix[8];
        wsprintfA(suffix, ".~q%d", n);
        if (!JoinPath(aside, path, suffix))
            return 0;
        if (MoveFileExA(path, aside, 0))
            return 1;
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS)
            return 0;
    }
    return 0;
}

OlderCopy* Forget(OlderCopy* copy)
{
    OlderCopy* previous = copy->previous;
    HeapFree(GetProcessHeap(), 0, copy);
    return previous;
}

} // namespace

int SetAsideOlderCopy(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return 1;
    // What could not be overwritten is not replaced either.
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))
        return 0;
    OlderCopy* copy = (OlderCopy*)HeapAlloc(GetProcessHeap(), 0, sizeof(OlderCopy));
    if (!copy)
        return 0;
    if (!JoinPath(copy->path, path, "") || !MoveAside(path, copy->aside)) {
        HeapFree(GetProcessHeap(), 0, copy);
        return 0;
    }
    copy->previous = LastCopy;
    LastCopy = copy;
    return 2;
}

void PutBackLastOlderCopy()
{
    if (!LastCopy)
        return;
    MoveFileExA(LastCopy->aside, LastCopy->path, MOVEFILE_REPLACE_EXISTING);
    LastCopy = Forget(LastCopy);
}

void PutBackOlderCopies()
{
    while (LastCopy)
        PutBackLastOlderCopy();
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
