#include "progress_dialog.h"
#include "base/shared.h"
#include "engine/shared.h"
#include "install_worker.h"
#include "res/resource_ids.h"

namespace {

void Initialize(HWND dialog, const char* cancelCaption)
{
    PlaceWindow(dialog, 1);
    SetDlgItemTextA(dialog, IDCANCEL, cancelCaption);
    CreateProgressBar(InstallBar, dialog, IDC_PROGRESS_BAR);
    SetProgressRange(InstallBar, 0, 100);
    SetProgressPosition(InstallBar, 0);
    // Nobody waits for the worker: it ends the dialog itself, by a click on
    // one of the hidden buttons. Without it nothing was installed.
    DWORD id;
    HANDLE worker = CreateThread(NULL, 0, InstallWorker, dialog, 0, &id);
    if (worker)
        CloseHandle(worker);
    else
        EndDialog(dialog, PROGRESS_ABORTED);
}

// Cancel, Escape and the close box only ask the worker to stop; the hidden
// buttons end the dialog.
void Command(HWND dialog, int id)
{
    if (id == IDOK)
        EndDialog(dialog, PROGRESS_INSTALLED);
    else if (id == IDCANCEL)
        CancelRequested = 1;
    else if (id == IDC_PROGRESS_ABORTED)
        EndDialog(dialog, PROGRESS_ABORTED);
}

INT_PTR CALLBACK ProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        Initialize(dialog, (const char*)lParam);
        return TRUE;
    case WM_PAINT:
        PaintProgressBar(InstallBar);
        break;
    case WM_COMMAND:
        Command(dialog, LOWORD(wParam));
        break;
    default:
        return FALSE;
    }
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
    return TRUE;
}

} // namespace

INT_PTR RunProgressDialog(HWND owner, const char* cancelCaption)
{
    return DialogBoxParamA(Instance, MAKEINTRESOURCEA(IDD_PROGRESS), owner, ProgressProc, (LPARAM)cancelCaption);
}
