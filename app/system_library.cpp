#include "system_library.h"
#include "paths.h"

HMODULE LoadSystemLibrary(const char* name)
{
    char folder[PATH_SIZE], path[PATH_SIZE];
    const UINT n = GetSystemDirectoryA(folder, PATH_SIZE);
    EndFolderString(folder, n);
    if (!folder[0] || !JoinPath(path, folder, name))
        return NULL;
    return LoadLibraryA(path);
}
