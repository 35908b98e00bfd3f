#include "registration.h"
#include "base/paths.h"
#include "base/shared.h"
#include "install_log.h"
#include "log_check.h"
#include "package/data_records.h"
#include "package/string_table.h"
#include "package/load_package.h"
#include "package/shared.h"
#include "registry_values.h"
#include "shortcuts.h"
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

int SetNumber(HKEY key, const char* name, DWORD number)
{
    return RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE*)&number, sizeof number) == ERROR_SUCCESS;
}

// The icon of the product's first link, "path,index", from the shortcut
// section behind the files; 0 when there is no link to read.
int FirstLinkIcon(char* out)
{
    static LinkItem link;
    const uint32_t at = Package.settings.FileSectionLength;
    if (at > Package.dataSize)
        return 0;
    ByteCursor c = CursorOver(Package.data + at, Package.dataSize - at);
    if (ReadSectionCount(c) < 1 || !ReadShortcutRecord(c, link))
        return 0;
    wsprintfA(out, "%s,%d", link.icon[0] ? link.icon : link.target, link.icon[0] ? link.iconIndex : 0);
    return 1;
}

// What the list of installed programs shows beside the name: where the
// product is, its icon (else the uninstaller's, which is the setup
// program's own and stays with the product), its size, and that it offers
// neither a change nor a repair.
int SetEntryFacts(HKEY key)
{
    static char icon[PATH_SIZE + 16];
    if (!FirstLinkIcon(icon))
        wsprintfA(icon, "%s,0", UninstallerCopyPath());
    const DWORD kilobytes = (DWORD)(((uint64_t)Package.settings.SpaceRequired + 1023) / 1024);
    return SetText(key, "InstallLocation", DestinationPath) && SetText(key, "DisplayIcon", icon) &&
           SetNumber(key, "EstimatedSize", kilobytes) && SetNumber(key, "NoModify", 1) &&
           SetNumber(key, "NoRepair", 1);
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
    const int named = SetText(key, "DisplayName", DisplayName) && SetEntryFacts(key);
    FormatRemovalCommand();
    const int ok = named && SetText(key, "UninstallString", Command);
    RegCloseKey(key);
    return ok;
}
