#include "wizard_host.h"
#include "base/end_session.h"
#include "base/folders.h"
#include "base/shared.h"
#include "base/sound_player.h"
#include "base/system_library.h"
#include "engine/run_program.h"
#include "engine/shared.h"
#include "package/load_package.h"
#include "package/settings_readers.h"
#include "package/shared.h"
#include "package/string_table.h"
#include "res/resource_ids.h"
#include "wizard/shared.h"
#include "wizard_page.h"
#include <commctrl.h>
#include <prsht.h>
#include <string.h>

#include <stddef.h>

// The records as the first version of the sheet knew them.
const UINT SheetPageSize = offsetof(PROPSHEETPAGEA, pcRefParent) + sizeof(UINT*);
const UINT SheetHeaderSize = offsetof(PROPSHEETHEADERA, pfnCallback) + sizeof(PFNPROPSHEETCALLBACK);
static_assert(sizeof(void*) != 4 || SheetPageSize == 40, "the first 32-bit sheet page record is 40 bytes");
static_assert(sizeof(void*) != 4 || SheetHeaderSize == 40, "the first 32-bit sheet header is 40 bytes");
static_assert(sizeof(void*) != 4 || sizeof(STARTUPINFOA) == 68, "the 32-bit start-up record is 68 bytes");

namespace {

// Buttons of the system's wizard.
enum { SHEET_BACK = 0x3023, SHEET_NEXT = 0x3024, SHEET_FINISH = 0x3025 };
enum { PROGRAM_PATH_SIZE = 264, COMMAND_LINE_SIZE = 500, FORMAT_SIZE = 1024 };

HWND Sheet;

void ReadCaption(int id, WizardCaption caption)
{
    GetDlgItemTextA(Sheet, id, WizardButtonCaptions[caption], CAPTION_SIZE);
}

int CALLBACK SheetCallback(HWND sheet, UINT, LPARAM)
{
    if (!sheet)
        return 0;
    Sheet = sheet;
    ShowWindow(sheet, SW_HIDE);
    ReadCaption(SHEET_BACK, CAPTION_BACK);
    ReadCaption(SHEET_NEXT, CAPTION_NEXT);
    ReadCaption(IDCANCEL, CAPTION_CANCEL);
    SendMessageA(sheet, PSM_SETWIZBUTTONS, 0, PSWIZB_FINISH);
    ReadCaption(SHEET_FINISH, CAPTION_FINISH);
    SendMessageA(sheet, WM_CLOSE, 0, 0);
    return 0;
}

INT_PTR CALLBACK SheetPageProc(HWND, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    SendMessageA(Sheet, WM_CLOSE, 0, 0);
    return TRUE;
}

typedef INT_PTR(WINAPI* PropertySheetFunction)(const PROPSHEETHEADERA*);

// A system wizard that is never shown lends the button captions in the
// system's language. comctl32 is loaded by its full system path.
void HarvestButtonCaptions()
{
    HMODULE comctl = LoadSystemLibrary("comctl32.dll");
    const PropertySheetFunction propertySheet =
        comctl ? (PropertySheetFunction)(void*)GetProcAddress(comctl, "PropertySheetA") : nullptr;
    if (!propertySheet)
        return;
    PROPSHEETPAGEA page = {};
    page.dwSize = SheetPageSize;
    page.dwFlags = PSP_USETITLE;
    page.hInstance = Instance;
    page.pszTemplate = MAKEINTRESOURCEA(IDD_SHEET_PAGE);
    page.pszTitle = "a";
    page.pfnDlgProc = SheetPageProc;
    PROPSHEETHEADERA header = {};
    header.dwSize = SheetHeaderSize;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD | PSH_USECALLBACK;
    header.hInstance = Instance;
    header.pszIcon = MAKEINTRESOURCEA(IDI_SETUP);
    header.nPages = 1;
    header.ppsp = &page;
    header.pfnCallback = SheetCallback;
    propertySheet(&header);
}

// Starts a program of the Windows folder with one quoted argument. Without
// the Windows folder nothing starts: a bare program name would be looked for
// in the current directory. Paths too long for the program path or the
// command line are refused (wsprintfA stops at 1024 bytes).
void OpenWithWindowsProgram(const char* program, const char* argument)
{
    char path[FORMAT_SIZE], commandLine[FORMAT_SIZE];
    if (!WindowsDir[0] || wsprintfA(path, "%s%s", WindowsDir, program) >= PROGRAM_PATH_SIZE ||
        wsprintfA(commandLine, "%s \"%s\"", path, argument) >= COMMAND_LINE_SIZE)
        return;
    StartProgram(path, commandLine, 0);
}

void OfferToEndSession(HWND background, StringSlot slot, UINT how)
{
    if (MessageBoxA(background, SetupString(slot), SetupString(SLOT_SETUP_CAPTION), MB_YESNO | MB_SYSTEMMODAL) != IDYES)
        return;
    EndSession(how);
}

} // namespace

void RunClosingActions(HWND background)
{
    if (ReadmeWanted && Choices.readme[0]) {
        if (PathExists(Choices.readme))
            OpenWithWindowsProgram("NOTEPAD.EXE", Choices.readme);
        Sleep(80);
    }
    if (Package.settings.GroupStepEnabled && Choices.group && PathExists(Choices.group))
        OpenWithWindowsProgram("EXPLORER.EXE", Choices.group);
    if (Package.settings.RestartMode == RESTART_REBOOT)
        OfferToEndSession(background, SLOT_RESTART_QUESTION, EWX_REBOOT);
    if (Package.settings.RestartMode == RESTART_LOGOFF)
        OfferToEndSession(background, SLOT_LOGOFF_QUESTION, EWX_LOGOFF);
}

void RunWizardHost(HWND background)
{
    SetWindowPos(background, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    HarvestButtonCaptions();
    SetWindowPos(background, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    DialogBoxParamA(Instance, MAKEINTRESOURCEA(IDD_WIZARD), background, WizardProc, 0);
    ShowWindow(background, SW_HIDE);
    StopSound(BackgroundSound, 1);
    if (SoundFile.present && SoundFile.deleteAfterUse)
        DeleteFileA(SoundFile.path);
    if (SetupCompleted)
        RunClosingActions(background);
    SendMessageA(background, WM_CLOSE, 0, 0);
}
