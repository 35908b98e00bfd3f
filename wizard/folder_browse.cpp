#include "folder_browse.h"
#include "base/shared.h"
#include "base/system_library.h"
#include "res/resource_ids.h"
#include <string.h>

#include <stddef.h>

// The record without the fields Windows 2000 added.
const DWORD OpenFileSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
static_assert(sizeof(void*) != 4 || OpenFileSize == 76,
              "the 32-bit open-file record without the Windows 2000 fields is 76 bytes");

namespace {

// Standard controls of the Explorer-style open-file dialog.
enum {
    READ_ONLY_BOX = 1040,
    TYPE_LABEL = 1089,
    NAME_LABEL = 1090,
    FOLDER_LABEL = 1091,
    FILE_LIST = 1120,
    TYPE_BOX = 1136,
    FOLDER_BOX = 1137,
    NAME_FIELD = 1152,
};

// A display name, then a pattern of characters no file name is made of.
const char Filter[] = "Tamberlyn\0\xBD\xBD\xBD.\xBD\xBD\xBD\0";
const char DummyFileName[] = "Tamberlny";

RECT ControlRect(HWND dialog, int id)
{
    RECT r = {0, 0, 0, 0};
    HWND control = GetDlgItem(dialog, id);
    if (control) {
        GetWindowRect(control, &r);
        MapWindowPoints(NULL, dialog, (POINT*)&r, 2);
    }
    return r;
}

void MoveControl(HWND dialog, int id, int x, int y, int width, int height)
{
    MoveWindow(GetDlgItem(dialog, id), x, y, width, height, TRUE);
}

// The texts, and the name field's text as the dialog ends. The chooser is
// modal and its hook has no parameter of its own, so the running one's is kept here.
struct PickerContext {
    const FolderPickerTexts* texts;
    char name[PATH_SIZE];
};
PickerContext Running;

// Only folders and the name field stay; the folder box and the list move up
// into the room the file-name and file-type rows leave.
void AdjustCommonDialog(HWND dialog, const char* folderLabel)
{
    if (!IsWindow(dialog))
        return;
    const int hidden[] = {NAME_FIELD, TYPE_LABEL, NAME_LABEL, READ_ONLY_BOX, TYPE_BOX};
    for (int id : hidden)
        ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
    const RECT l = ControlRect(dialog, FOLDER_LABEL), c = ControlRect(dialog, FOLDER_BOX),
               v = ControlRect(dialog, FILE_LIST), k = ControlRect(dialog, IDOK), x = ControlRect(dialog, IDCANCEL);
    const int width = k.left + (k.left - k.right) / 6 - l.left;
    SetDlgItemTextA(dialog, FOLDER_LABEL, folderLabel);
    MoveControl(dialog, FOLDER_BOX, l.left, l.top + l.bottom, width, c.bottom - c.top);
    MoveControl(dialog, FILE_LIST, l.left, v.top + (int)((c.bottom - c.top) * 1.5), width, v.bottom - v.top);
    MoveControl(dialog, IDOK, k.left, l.top + l.bottom, k.right - k.left, k.bottom - k.top);
    SetDlgItemTextA(dialog, IDOK, "OK");
    MoveControl(dialog, IDCANCEL, x.left, (int)((l.top + l.bottom) * 0.4f) + (k.bottom - k.top) + l.bottom,
                x.right - x.left, x.bottom - x.top);
}

UINT_PTR CALLBACK PickerHook(HWND dialog, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        AdjustCommonDialog(GetParent(dialog), Running.texts->folderLabel);
        SetDlgItemTextA(dialog, IDC_BROWSE_NAME, Running.texts->name);
        SetDlgItemTextA(dialog, IDC_BROWSE_NAME_LABEL, Running.texts->nameLabel);
        return TRUE;
    case WM_DESTROY:
        GetDlgItemTextA(dialog, IDC_BROWSE_NAME, Running.name, PATH_SIZE - 1);
        return FALSE;
    default:
        return FALSE;
    }
}

typedef BOOL(WINAPI* OpenFileFunction)(OPENFILENAMEA*);

// comdlg32 is loaded by its full system path once the program has kept later
// loads out of its own folder.
OpenFileFunction OpenFileDialog()
{
    static OpenFileFunction open;
    if (!open) {
        HMODULE comdlg = LoadSystemLibrary("comdlg32.dll");
        open = comdlg ? (OpenFileFunction)(void*)GetProcAddress(comdlg, "GetOpenFileNameA") : nullptr;
    }
    return open;
}

} // namespace

int RunFolderPicker(const FolderPickerTexts& texts, FolderChoice& choice)
{
    Running.texts = &texts;
    char file[PATH_SIZE] = {};
    char fileTitle[PATH_SIZE] = {};
    memcpy(file, DummyFileName, sizeof DummyFileName);
    OPENFILENAMEA o = {};
    o.lStructSize = OpenFileSize;
    o.hwndOwner = texts.owner;
    o.hInstance = Instance;
    o.lpstrFilter = Filter;
    o.lpstrFile = file;
    o.nMaxFile = PATH_SIZE;
    o.lpstrFileTitle = fileTitle;
    o.nMaxFileTitle = PATH_SIZE;
    o.lpstrInitialDir = texts.initial;
    o.lpstrTitle = texts.title;
    o.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_EXPLORER |
              OFN_LONGNAMES;
    o.lpfnHook = PickerHook;
    o.lpTemplateName = MAKEINTRESOURCEA(IDD_BROWSE);
    const OpenFileFunction open = OpenFileDialog();
    if (!open || !open(&o))
        return 2;
    // The path is the dialog's folder and the name that stood in the hidden
    // file-name field.
    const size_t pathLength = strlen(file), titleLength = strlen(fileTitle);
    file[titleLength < pathLength ? pathLength - titleLength : 0] = 0;
    EndFolderString(file, strlen(file));
    if (!file[0])
        return 2;
    memcpy(choice.folder, file, PATH_SIZE);
    memcpy(choice.chosen, file, PATH_SIZE);
    if (!AppendText(choice.chosen, PATH_SIZE, Running.name))
        choice.chosen[0] = 0;
    return 1;
}
