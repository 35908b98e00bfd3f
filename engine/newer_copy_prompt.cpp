#include "newer_copy_prompt.h"
#include "app/instance.h"
#include "install_file.h"
#include "package/string_table.h"
#include "res/resource_ids.h"
#include "wizard/drawn_controls.h"
#include "wizard/size_text.h"

const FILETIME* PackageCreationTime;

namespace {

// "day/month/year - <KB> KB." of a creation date taken in UTC; 0 when the
// time is no date.
int FormatCopyLine(char* out, const FILETIME& created, uint32_t size)
{
    SYSTEMTIME t;
    if (!FileTimeToSystemTime(&created, &t))
        return 0;
    char kilobytes[SIZE_TEXT_SIZE];
    FormatKilobytes(kilobytes, size);
    wsprintfA(out, "%u/%u/%u - %s KB.", t.wDay, t.wMonth, t.wYear, kilobytes);
    return 1;
}

void Initialize(HWND dialog)
{
    PlaceWindow(dialog, 2);
    SetWindowTextA(dialog, SetupString(32));
    const int texts[][2] = {{IDC_NEWER_TEXT, 33}, {IDC_NEWER_KEEP, 34}, {IDC_NEWER_OVERWRITE, 35}, {IDCANCEL, 36}};
    for (const int* t : texts)
        SetDlgItemTextA(dialog, t[0], SetupString(t[1]));
    SetDlgItemTextA(dialog, IDC_NEWER_PATH, CurrentTargetPath);
    char line[64];
    if (!CurrentFileSize || !FormatCopyLine(line, *PackageCreationTime, CurrentFileSize))
        memcpy(line, "?", 2);
    SetDlgItemTextA(dialog, IDC_NEWER_PACKAGE, line);
    if (!FormatCopyLine(line, ExistingCreationTime, ExistingFileSize))
        line[0] = 0;
    SetDlgItemTextA(dialog, IDC_NEWER_DISK, line);
}

INT_PTR CALLBACK NewerCopyProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        Initialize(dialog);
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDCANCEL || id == IDC_NEWER_OVERWRITE || id == IDC_NEWER_KEEP)
            EndDialog(dialog, id);
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR AskAboutNewerCopy(HWND owner)
{
    return DialogBoxParamA(Instance, MAKEINTRESOURCEA(IDD_NEWER_COPY), owner, NewerCopyProc, 0);
}
