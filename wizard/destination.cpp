#include "destination.h"
#include "base/folders.h"
#include "base/shared.h"
#include "base/size_text.h"
#include "folder_browse.h"
#include "package/load_package.h"
#include "package/shared.h"
#include "package/string_table.h"
#include "questions.h"
#include "res/resource_ids.h"
#include <string.h>

namespace {

const char ProgramFiles[] = "C:\\Program files";
enum { SHOWN_PATH_CHARS = 30 };

uint64_t AvailableBytes;
int AvailableShown;
// The chooser's last result: the folder the destination folder is made in
// (at first the Program Files folder), and the user's choice, which he
// confirmed there.
FolderChoice Last;

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

// Measures the disk the folder is on, or will be on: not the current
// directory's, which is the group step's folder while the proposed folder
// does not exist. The free space may lie far beyond 4 GiB, so it is measured
// in 64 bits; a failed measurement keeps the last one.
void ShowAvailableSize(HWND wizard, const char* folder)
{
    char text[SIZE_TEXT_SIZE] = "? KB.";
    if (FreeSpaceOf(folder, &AvailableBytes))
        FormatSizeText(text, AvailableBytes);
    SetDlgItemTextA(wizard, IDC_AVAILABLE_SIZE, text);
}

// 1 when the user chose a folder the install can use, 0 when he cancelled or
// the folder cannot be made. A folder that does not exist yet is tried and
// removed again: it is made for real when the install starts.
int ChooseDestination(HWND wizard)
{
    for (;;) {
        const FolderPickerTexts texts = {wizard,
                                         SetupString(SLOT_DESTINATION_GROUP),
                                         Last.folder[0] ? Last.folder : DestinationPath,
                                         SetupString(SLOT_DEFAULT_FOLDER_NAME),
                                         SetupString(SLOT_BROWSE_FOLDER_LABEL),
                                         SetupString(SLOT_BROWSE_DESTINATION_LABEL)};
        if (RunFolderPicker(texts, Last) != 1)
            return 0;
        if (PathExists(Last.chosen)) {
            if (!AskYes(wizard, SetupString(SLOT_QUESTION_FOLDER_EXISTS)))
                continue;
            memcpy(DestinationPath, Last.chosen, PATH_SIZE);
            ShowDestination(wizard, DestinationPath);
            return 1;
        }
        if (!CreateDirectoryA(Last.chosen, NULL)) {
            Tell(wizard, SLOT_ERROR_CREATE_FOLDER, MB_ICONHAND);
            return 0;
        }
        RemoveDirectoryA(Last.chosen);
        memcpy(DestinationPath, Last.chosen, PATH_SIZE);
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
    const char* name = SetupString(SLOT_DEFAULT_FOLDER_NAME);
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
    memcpy(Last.folder, ProgramFiles, sizeof ProgramFiles);
}

void ShowDestinationSizes(HWND wizard)
{
    SetCurrentDirectoryA(DestinationPath);
    if (!AvailableShown) {
        ShowAvailableSize(wizard, DestinationPath);
        AvailableShown = 1;
    }
    char text[SIZE_TEXT_SIZE];
    FormatSizeText(text, Package.settings.SpaceRequired);
    SetDlgItemTextA(wizard, IDC_REQUIRED_SIZE, text);
}

int ConfirmExistingDestination(HWND wizard)
{
    if (!PathExists(DestinationPath) || SameText(DestinationPath, Last.chosen))
        return 1;
    if (AskYes(wizard, SetupString(SLOT_QUESTION_FOLDER_EXISTS)))
        return 1;
    BrowseForDestination(wizard);
    return 0;
}

void BrowseForDestination(HWND wizard)
{
    if (!ChooseDestination(wizard))
        return;
    SetCurrentDirectoryA(Last.folder);
    ShowAvailableSize(wizard, Last.chosen);
    if (Package.settings.SpaceRequired > AvailableBytes)
        Tell(wizard, SLOT_ERROR_NOT_ENOUGH_SPACE, MB_ICONINFORMATION);
}
