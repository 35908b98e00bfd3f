#include "temp_folder.h"
#include "paths.h"
#include "shared.h"
#include <string.h>
#include <windows.h>
#include <ntsecapi.h>

static char Folder[PATH_SIZE];
static int FolderTried;

static unsigned long RandomNumber()
{
    unsigned long number;
    if (!RtlGenRandom(&number, sizeof number)) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        number = now.LowPart ^ GetCurrentProcessId() << 16;
    }
    return number;
}

// CreateDirectoryA fails when anything of that name exists, a link
// included, so a folder it makes is new and the program's own.
const char* PrivateTempFolder()
{
    if (FolderTried)
        return Folder;
    FolderTried = 1;
    for (int attempt = 0; attempt < 16 && TempDir[0]; attempt++) {
        char name[16];
        wsprintfA(name, "~Q%08lX\\", RandomNumber());
        if (!JoinPath(Folder, TempDir, name))
            break;
        if (CreateDirectoryA(Folder, NULL))
            return Folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    Folder[0] = 0;
    return Folder;
}

static void RemoveTree(const char* folder);

// A link is removed itself; what it points at is never touched.
static void RemoveEntry(const char* folder, const WIN32_FIND_DATAA& found)
{
    if (SameText(found.cFileName, ".") || SameText(found.cFileName, ".."))
        return;
    char path[PATH_SIZE];
    if (!JoinPath(path, folder, found.cFileName))
        return;
    const DWORD attributes = found.dwFileAttributes;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileA(path);
    else if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !JoinPath(path, path, "\\"))
        RemoveDirectoryA(path);
    else
        RemoveTree(path);
}

static void RemoveTree(const char* folder)
{
    char pattern[PATH_SIZE];
    WIN32_FIND_DATAA found;
    HANDLE find = JoinPath(pattern, folder, "*") ? FindFirstFileA(pattern, &found) : INVALID_HANDLE_VALUE;
    if (find != INVALID_HANDLE_VALUE) {
        do
            RemoveEntry(folder, found);
        while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(folder);
}

void RemovePrivateTempFolder()
{
    if (Folder[0])
        RemoveTree(Folder);
    Folder[0] = 0;
    FolderTried = 0;
}
