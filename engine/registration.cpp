#include "registration.h"
#include "base/paths.h"
#include "base/shared.h"
#include "install_log.h"
#include "log_check.h"
#include "package/data_records.h"
#include "package/string_table.h"
#include "registry_values.h"
#include <windows.h>

namespace {

// wsprintfA's texts of up to 1024 bytes, kept off the worker's stack.
char Remover[1024], DisplayName[1024], Command[1024];

// The first key "<product> QX<nnn>" that did not exist, made now; its number.
int MakeOwnKey(char* path, HKEY* key)
{
    for (int n = 1; n < 1000000; n++) {
        char number[16];
        wsprintfA(number, " QX%.3d", n);
        path[0] = 0;
        if (!AppendText(path, PATH_SIZE, UninstallKey) || !AppendText(path, PATH_SIZE, SetupString(SLOT_PRODUCT_TITLE)) ||
            !AppendText(path, PATH_SIZE, number))
            return 0;
        DWORD disposition = 0;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_WRITE, NULL, key,
                            &disposition) != ERROR_SUCCESS)
            return 0;
        if (disposition == REG_CREATED_NEW_KEY)
            return n;
        RegCloseKey(*key);
    }
    return 0;
}

int SetText(HKEY key, const char* name, const char* text)
{
    return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text, (DWORD)strlen(text) + 1) == ERROR_SUCCESS;
}

int FileExists(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The uninstaller, with the log for its argument; a shared remover in the
// Windows folder, when there is one, starts it. wsprintfA stops at 1024 bytes.
void FormatRemovalCommand()
{
    const char* logPath = InstallLogPath();
    wsprintfA(Remover, "%sDezoda32.exe", WindowsDir);
    if (FileExists(Remover))
        wsprintfA(Command, "\"%s \" /U \"%s\" \"%s\"", Remover, UninstallerCopyPath(), logPath);
    else
        wsprintfA(Command, "\"%s\" \"%s\"", UninstallerCopyPath(), logPath);
}

} // namespace

int RegisterUninstaller()
{
    char path[PATH_SIZE];
    HKEY key;
    const int n = MakeOwnKey(path, &key);
    if (!n)
        return 0;
    if (!AppendToInstallLog(LogRecord{LOG_REGISTRY, 1, path, ROOT_LOCAL_MACHINE, "?"})) {
        RegCloseKey(key);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
        return 0;
    }
    wsprintfA(DisplayName, n == 1 ? "%s" : "%s (%d)", SetupString(SLOT_PRODUCT_TITLE), n);
    FormatRemovalCommand();
    const int ok = SetText(key, "DisplayName", DisplayName) && SetText(key, "UninstallString", Command);
    RegCloseKey(key);
    return ok;
}
