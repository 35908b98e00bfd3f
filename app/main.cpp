#include "folders.h"
#include "package/load_package.h"
#include "package/settings_readers.h"
#include "package/string_table.h"
#include <windows.h>

HINSTANCE Instance;

// A setup program usually runs from a downloads folder, where anyone can
// leave a DLL. Only DLLs Windows always takes from its system folder are
// imported; these calls keep every later load out of the program's folder too.
static void KeepDllsToSystemFolder()
{
    SetDllDirectoryA("");
    typedef BOOL(WINAPI * SetDefaultDirectories)(DWORD);
    const SetDefaultDirectories set =
        (SetDefaultDirectories)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (set)
        set(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    Instance = instance;
    KeepDllsToSystemFolder();
    if (!LoadPackage()) {
        MessageBoxA(NULL, "Setup file is corrupted.", "Error", MB_SYSTEMMODAL | MB_ICONERROR);
        return 0;
    }
    FillTempDir();
    FillWindowsDir();
    FillSystemDir();
    FillSetupDir();
    SettingsCursor = ParseSetupStrings(Package.script, Package.scriptSize);
    if (MessageBoxA(NULL, SetupString(8), SetupString(1), MB_SYSTEMMODAL | MB_ICONQUESTION | MB_YESNO) == IDNO)
        return 0;
    // The setup dialogue that follows the user's yes is not part of this program yet.
    return 0;
}
