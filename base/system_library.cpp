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

void KeepDllsInSystemFolder()
{
    SetDllDirectoryA("");
    typedef BOOL(WINAPI * SetDefaultDirectories)(DWORD);
    const SetDefaultDirectories set =
        (SetDefaultDirectories)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (set)
        set(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
}
