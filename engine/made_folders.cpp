#include "made_folders.h"
#include "base/paths.h"
#include <windows.h>

namespace {

struct MadeFolder {
    MadeFolder* previous;
    char path[PATH_SIZE];
};

MadeFolder* LastFolder;

} // namespace

void RememberMadeFolder(const char* path)
{
    MadeFolder* folder = (MadeFolder*)HeapAlloc(GetProcessHeap(), 0, sizeof(MadeFolder));
    if (!folder)
        return;
    if (!JoinPath(folder->path, path, "")) {
        HeapFree(GetProcessHeap(), 0, folder);
        return;
    }
    folder->previous = LastFolder;
    LastFolder = folder;
}

// Each folder was made after its parent, so the last made goes first.
void RemoveMadeFolders()
{
    while (LastFolder) {
        RemoveDirectoryA(LastFolder->path);
        MadeFolder* previous = LastFolder->previous;
        HeapFree(GetProcessHeap(), 0, LastFolder);
        LastFolder = previous;
    }
}
