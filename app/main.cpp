#include "app/background_window.h"
#include "app/initializing_dialog.h"
#include "base/banner_message.h"
#include "base/folders.h"
#include "base/shared.h"
#include "base/sound_player.h"
#include "base/system_library.h"
#include "base/temp_folder.h"
#include "package/load_package.h"
#include "package/settings_readers.h"
#include "package/setup_marker.h"
#include "package/shared.h"
#include "package/string_table.h"
#include "wizard/wizard_host.h"


namespace {

// Kept though nothing reads it: qpack appends packages only to a file that
// carries it.
__attribute__((used)) const char SetupMarker[] = SETUP_PROGRAM_MARKER;

// A banner shown from the start is loaded now; otherwise the install loads it.
void ShowBannerAtStart()
{
    if (BannerCount == 0 || !BannerAtStart)
        return;
    HBITMAP bitmap;
    if (LoadBannerPicture(BannerPicture.path, &bitmap))
        SelectBannerPicture(bitmap, BannerPlacement);
    else
        BannerAtStart = 0;
    if (BannerPicture.deleteAfterUse)
        DeleteFileA(BannerPicture.path);
}

void StartBackgroundSound()
{
    if (!SoundFile.present)
        return;
    BackgroundSound.interval = 500;
    SetSoundFile(BackgroundSound, SoundFile.path);
    StartSound(BackgroundSound, 1, PlayOnce ? 1 : 0);
}

// From the package to the end of the message loop; the exit code.
int RunSetup(HINSTANCE instance)
{
    if (!LoadPackage()) {
        MessageBoxA(NULL, "Setup file is corrupted.", "Error", MB_SYSTEMMODAL | MB_ICONERROR);
        return 0;
    }
    ReadLeadByteRanges();
    FillTempDir();
    FillWindowsDir();
    FillSystemDir();
    FillSetupDir();
    SettingsCursor = ParseSetupStrings(Package.script, Package.scriptSize);
    if (MessageBoxA(NULL, SetupString(SLOT_CONFIRM_QUESTION), SetupString(SLOT_SETUP_CAPTION),
                    MB_SYSTEMMODAL | MB_ICONQUESTION | MB_YESNO) == IDNO)
        return 0;
    RunInitializingDialog();
    ShowBannerAtStart();
    StartBackgroundSound();
    RegisterBackgroundClass(instance);
    if (!CreateBackgroundWindow(instance))
        return 0;
    RunWizardHost(BackgroundWindow);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}

} // namespace

// Whichever way the setup ends, its temporary files go with it; the sound
// is stopped first, since a file being played cannot be deleted.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    Instance = instance;
    KeepDllsInSystemFolder();
    const int exitCode = RunSetup(instance);
    StopSound(BackgroundSound, 1);
    RemovePrivateTempFolder();
    return exitCode;
}
