#include "install_folders.h"
#include "base/paths.h"
#include <string.h>
#include <windows.h>

namespace {

const char* const LinkFolderNames[] = {"Programs", "Desktop", "Startup", "SendTo", "Start Menu"};
char Folders[INSTALL_FOLDERS_MAX][PATH_SIZE];
InstallFolders Found;

} // namespace

int ReadShellFolder(const char* name, char* out)
{
    HKEY key;
    out[0] = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    DWORD size = PATH_SIZE - 1;
    const LONG result = RegQueryValueExA(key, name, NULL, NULL, (BYTE*)out, &size);
    RegCloseKey(key);
    out[result == ERROR_SUCCESS ? size : 0] = 0;
    EndFolderString(out, strlen(out));
    return out[0] != 0;
}

const InstallFolders& FindInstallFolders(const char* logFolder)
{
    JoinPath(Folders[0], logFolder, "");
    EndFolderString(Folders[0], strlen(Folders[0]));
    EndFolderString(Folders[1], GetWindowsDirectoryA(Folders[1], PATH_SIZE));
    EndFolderString(Folders[2], GetSystemDirectoryA(Folders[2], PATH_SIZE));
    int n = 3;
    for (const char* name : LinkFolderNames)
        ReadShellFolder(name, Folders[n++]);
    for (int i = 0; i < n; i++)
        Found.paths[i] = Folders[i];
    Found.count = n;
    return Found;
}
