#include "start_menu_group.h"
#include "engine/shared.h"
#include "package/string_table.h"
#include "questions.h"
#include "res/resource_ids.h"
#include "wizard/shared.h"
#include <string.h>

namespace {

char ProgramsFolder[PATH_SIZE];
char DefaultGroupName[PATH_SIZE];
// The folder the list shows once the user has moved with double clicks.
char BrowseFolder[PATH_SIZE];

// 1 when the user's Programs folder is known; it is empty otherwise.
int ReadProgramsFolder()
{
    HKEY key;
    ProgramsFolder[0] = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    DWORD type = 0, size = PATH_SIZE - 1;
    const LONG result = RegQueryValueExA(key, "Programs", NULL, &type, (BYTE*)ProgramsFolder, &size);
    RegCloseKey(key);
    const int ok = result == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ);
    ProgramsFolder[ok ? size : 0] = 0;
    return ok && ProgramsFolder[0];
}

// The default name without its leading backslash.
const char* BareDefaultName()
{
    return NextChar(DefaultGroupName);
}

void CurrentFolder(char* out)
{
    const DWORD n = GetCurrentDirectoryA(PATH_SIZE, out);
    if (n == 0 || n >= PATH_SIZE)
        out[0] = 0;
}

// The sub-folders of the current directory; ".." only below the top.
void FillGroupList(HWND wizard, int atTop)
{
    HWND list = GetDlgItem(wizard, IDC_GROUP_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("*.*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || SameText(found.cFileName, "."))
            continue;
        if (atTop && SameText(found.cFileName, ".."))
            continue;
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// Back to the Programs folder with the default name, as at the start.
void ResetGroupStep(HWND wizard)
{
    if (!ProgramsFolder[0])
        return;
    SetCurrentDirectoryA(ProgramsFolder);
    SetDlgItemTextA(wizard, IDC_GROUP_NAME, BareDefaultName());
    BrowseFolder[0] = 0;
    FillGroupList(wizard, 1);
}

// Shortcuts cannot go where the user chose: yes goes on without a group.
int GoOnWithoutGroup(HWND wizard, const char* what)
{
    if (!AskYesAbout(wizard, SLOT_GROUP_FOLDER_QUESTION, what)) {
        ResetGroupStep(wizard);
        return 0;
    }
    Choices.group = nullptr;
    return 1;
}

// 0 when the path has no room left for its trailing backslash.
int SetGroupFolder(const char* path)
{
    memcpy(Choices.groupPath, path, PATH_SIZE);
    EndFolderString(Choices.groupPath, strlen(Choices.groupPath));
    Choices.group = Choices.groupPath[0] ? Choices.groupPath : nullptr;
    return Choices.group != nullptr;
}

} // namespace

void PrepareGroupStep(HWND wizard)
{
    lstrcpynA(DefaultGroupName, SetupString(SLOT_DEFAULT_GROUP), PATH_SIZE);
    if (!ReadProgramsFolder())
        return;
    SetCurrentDirectoryA(ProgramsFolder);
    SetDlgItemTextA(wizard, IDC_GROUP_NAME, BareDefaultName());
    FillGroupList(wizard, 1);
}

void EnterGroupStep()
{
    if (ReadProgramsFolder())
        SetCurrentDirectoryA(ProgramsFolder);
}

void OpenGroupListItem(HWND wizard)
{
    HWND list = GetDlgItem(wizard, IDC_GROUP_LIST);
    const LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (index < 0 || SendMessageA(list, LB_GETTEXTLEN, index, 0) >= PATH_SIZE)
        return;
    char item[PATH_SIZE];
    SendMessageA(list, LB_GETTEXT, index, (LPARAM)item);
    if (!BrowseFolder[0])
        CurrentFolder(BrowseFolder);
    char next[PATH_SIZE];
    memcpy(next, BrowseFolder, PATH_SIZE);
    if (!EndsInBackslash(next) && !AppendText(next, PATH_SIZE, "\\"))
        return;
    if (!AppendText(next, PATH_SIZE, item))
        return;
    // Entering the folder resolves ".."; a folder that cannot be entered
    // leaves the list where it was.
    SetCurrentDirectoryA(next);
    CurrentFolder(BrowseFolder);
    const size_t programs = strlen(ProgramsFolder), here = strlen(BrowseFolder);
    const int atTop = programs + 1 >= here;
    char name[2 * PATH_SIZE] = "";
    AppendText(name, sizeof name, programs < here ? BrowseFolder + programs : "");
    AppendText(name, sizeof name, atTop ? BareDefaultName() : DefaultGroupName);
    SetDlgItemTextA(wizard, IDC_GROUP_NAME, name);
    FillGroupList(wizard, atTop);
}

int AcceptGroup(HWND wizard)
{
    char typed[PATH_SIZE];
    GetDlgItemTextA(wizard, IDC_GROUP_NAME, typed, PATH_SIZE);
    // Without the Programs folder there is no place for a group; a typed name
    // alone would be made wherever the current directory happens to be.
    if (!ProgramsFolder[0])
        return GoOnWithoutGroup(wizard, typed);
    char full[PATH_SIZE];
    memcpy(full, ProgramsFolder, PATH_SIZE);
    if ((typed[0] != '\\' && !EndsInBackslash(full) && !AppendText(full, PATH_SIZE, "\\")) ||
        !AppendText(full, PATH_SIZE, typed))
        return GoOnWithoutGroup(wizard, typed);
    // The folder as the system resolves it, without "." or "..": the install
    // log names links by such paths only.
    if (SetCurrentDirectoryA(full)) {
        CurrentFolder(full);
        return SetGroupFolder(full) || GoOnWithoutGroup(wizard, typed);
    }
    const char* cut = LastBackslash(full);
    if (!cut)
        return GoOnWithoutGroup(wizard, full);
    char parent[PATH_SIZE], name[PATH_SIZE];
    memcpy(parent, full, cut - full);
    parent[cut - full] = 0;
    memcpy(name, cut + 1, strlen(cut + 1) + 1);
    if (!SetCurrentDirectoryA(parent))
        return GoOnWithoutGroup(wizard, full + strlen(ProgramsFolder));
    CurrentFolder(parent);
    if (!CreateDirectoryA(name, NULL))
        return GoOnWithoutGroup(wizard, name);
    // Only a test: the group is made for real when the install starts.
    char path[PATH_SIZE];
    memcpy(path, parent, PATH_SIZE);
    if (!EndsInBackslash(path))
        AppendText(path, PATH_SIZE, "\\");
    AppendText(path, PATH_SIZE, name);
    RemoveDirectoryA(path);
    return SetGroupFolder(path) || GoOnWithoutGroup(wizard, name);
}
