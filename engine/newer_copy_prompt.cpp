#include "newer_copy_prompt.h"
#include "base/drawn_controls.h"
#include "base/shared.h"
#include "base/size_text.h"
#include "install_file.h"
#include "package/string_table.h"
#include "res/resource_ids.h"

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

void Initialize(HWND dialog, const InstallItem& item)
{
    PlaceWindow(dialog, 2);
    SetWindowTextA(dialog, SetupString(SLOT_NEWER_COPY_CAPTION));
    const int texts[][2] = {{IDC_NEWER_TEXT, SLOT_NEWER_COPY_TEXT},
                            {IDC_NEWER_KEEP, SLOT_KEEP_BUTTON},
                            {IDC_NEWER_OVERWRITE, SLOT_OVERWRITE_BUTTON},
                            {IDCANCEL, SLOT_ABORT_BUTTON}};
    for (const int* t : texts)
        SetDlgItemTextA(dialog, t[0], SetupString(t[1]));
    SetDlgItemTextA(dialog, IDC_NEWER_PATH, item.targetPath);
    char line[64];
    if (!item.size || !FormatCopyLine(line, item.created, item.size))
        memcpy(line, "?", 2);
    SetDlgItemTextA(dialog, IDC_NEWER_PACKAGE, line);
    if (!FormatCopyLine(line, item.existingCreated, item.existingSize))
        line[0] = 0;
    SetDlgItemTextA(dialog, IDC_NEWER_DISK, line);
}

INT_PTR CALLBACK NewerCopyProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        Initialize(dialog, *(const InstallItem*)lParam);
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

INT_PTR AskAboutNewerCopy(HWND owner, const InstallItem& item)
{
    return DialogBoxParamA(Instance, MAKEINTRESOURCEA(IDD_NEWER_COPY), owner, NewerCopyProc, (LPARAM)&item);
}
