#include "destination.h"
#include "app/folders.h"
#include "folder_browse.h"
#include "package/load_package.h"
#include "package/string_table.h"
#include "questions.h"
#include "res/resource_ids.h"
#include "size_text.h"
#include "wizard_state.h"
#include <string.h>

namespace {

const char ProgramFiles[] = "C:\\Program files";
enum { SHOWN_PATH_CHARS = 30 };

uint64_t AvailableBytes;
int AvailableShown;

// The current directory as a path; empty when it does not fit.
void CurrentFolder(char* out)
{
    const DWORD n = GetCurrentDirectoryA(PATH_SIZE - 1, out);
    if (n == 0 || n >= PATH_SIZE - 1)
        out[0] = 0;
}

void ShowDestination(HWND wizard, const char* text)
{
    SetDlgItemTextA(wizard, IDC_DESTINATION_PATH, text);
}

// Measures the disk of the current directory. The free space may lie far
// beyond 4 GiB, so it is measured in 64 bits; a failed measurement keeps the
// last one.
void ShowAvailableSize(HWND wizard)
{
    char text[SIZE_TEXT_SIZE] = "? KB.";
    ULARGE_INTEGER available;
    if (GetDiskFreeSpaceExA(NULL, &available, NULL, NULL)) {
        AvailableBytes = available.QuadPart;
        FormatSizeText(text, AvailableBytes);
    }
    SetDlgItemTextA(wizard, IDC_AVAILABLE_SIZE, text);
}

// The chooser as the Destination step sets it up, each time afresh.
void PreparePicker(HWND wizard)
{
    lstrcpynA(Picker.title, SetupString(19), sizeof Picker.title);
    lstrcpynA(FolderName, SetupString(30), sizeof FolderName);
    lstrcpynA(Picker.initial, BaseFolder[0] ? BaseFolder : DestinationPath, sizeof Picker.initial);
    lstrcpynA(FolderLabel, SetupString(27), sizeof FolderLabel);
    lstrcpynA(NameLabel, SetupString(28), sizeof NameLabel);
    Picker.owner = wizard;
}

// 1 when the user chose a folder the install can use, 0 when he cancelled or
// the folder cannot be made. A folder that does not exist yet is tried and
// removed again: it is made for real when the install starts.
int ChooseDestination(HWND wizard)
{
    for (;;) {
        PreparePicker(wizard);
        if (RunFolderPicker() != 1)
            return 0;
        if (PathExists(Picker.chosen)) {
            if (!AskYes(wizard, SetupString(39)))
                continue;
            memcpy(DestinationPath, Picker.chosen, PATH_SIZE);
            ShowDestination(wizard, DestinationPath);
            return 1;
        }
        if (!CreateDirectoryA(Picker.chosen, NULL)) {
            Tell(wizard, 29, MB_ICONHAND);
            return 0;
        }
        RemoveDirectoryA(Picker.chosen);
        memcpy(DestinationPath, Picker.chosen, PATH_SIZE);
        ShowDestination(wizard, LastChars(DestinationPath, SHOWN_PATH_CHARS));
        return 1;
    }
}

} // namespace

void ProposeDestination(HWND wizard)
{
    memcpy(DestinationPath, ProgramFiles, sizeof ProgramFiles);
    if (!PathExists(ProgramFiles)) {
        CurrentFolder(DestinationPath);
        ShowDestination(wizard, DestinationPath);
        return;
    }
    if (!SetCurrentDirectoryA(ProgramFiles)) {
        ShowDestination(wizard, ProgramFiles);
        return;
    }
    // Making the folder tells whether it is there already; one made only for
    // that goes again at once.
    const char* name = SetupString(30);
    const BOOL made = CreateDirectoryA(name, NULL);
    if (made)
        RemoveDirectoryA(name);
    char proposal[PATH_SIZE] = "C:\\Program files\\";
    const int fits = AppendText(proposal, PATH_SIZE, name) && AppendText(proposal, PATH_SIZE, "\\");
    if (fits && (made || PathExists(proposal)))
        memcpy(DestinationPath, proposal, PATH_SIZE);
    else
        CurrentFolder(DestinationPath);
    ShowDestination(wizard, DestinationPath);
    memcpy(BaseFolder, ProgramFiles, sizeof ProgramFiles);
}

void ShowDestinationSizes(HWND wizard)
{
    SetCurrentDirectoryA(DestinationPath);
    if (!AvailableShown) {
        ShowAvailableSize(wizard);
        AvailableShown = 1;
    }
    char text[SIZE_TEXT_SIZE];
    FormatSizeText(text, Package.settings.SpaceRequired);
    SetDlgItemTextA(wizard, IDC_REQUIRED_SIZE, text);
}

int ConfirmExistingDestination(HWND wizard)
{
    if (!PathExists(DestinationPath) || SameText(DestinationPath, Picker.chosen))
        return 1;
    if (AskYes(wizard, SetupString(39)))
        return 1;
    BrowseForDestination(wizard);
    return 0;
}

void BrowseForDestination(HWND wizard)
{
    if (!ChooseDestination(wizard))
        return;
    SetCurrentDirectoryA(BaseFolder);
    ShowAvailableSize(wizard);
    if (Package.settings.SpaceRequired > AvailableBytes)
        Tell(wizard, 31, MB_ICONINFORMATION);
}
