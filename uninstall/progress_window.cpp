#include "progress_window.h"
#include "base/drawn_controls.h"
#include "res/resource_ids.h"

namespace {

ProgressBar Bar;

INT_PTR CALLBACK ProgressProc(HWND window, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        PlaceWindow(window, 1);
        CreateProgressBar(Bar, window, IDC_UNINSTALL_BAR);
        SetProgressPosition(Bar, 0);
        return TRUE;
    }
    if (message == WM_PAINT) {
        PaintProgressBar(Bar);
        SetWindowLongPtrA(window, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    return FALSE;
}

} // namespace

HWND OpenProgressWindow(const char* title)
{
    HWND window = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_UNINSTALL), NULL, ProgressProc, 0);
    if (window)
        SetWindowTextA(window, title);
    return window;
}

void ShowProgress(HWND window, const char* text, uint32_t percent)
{
    if (!window)
        return;
    SetDlgItemTextA(window, IDC_UNINSTALL_STATUS, text);
    SetProgressPosition(Bar, percent);
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageA(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}
