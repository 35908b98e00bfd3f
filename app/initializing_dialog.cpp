#include "initializing_dialog.h"
#include "base/drawn_controls.h"
#include "base/shared.h"
#include "package/settings_readers.h"
#include "package/shared.h"
#include "package/string_table.h"
#include "res/resource_ids.h"

namespace {

enum { TIMER_ID = 11, TICK_MS = 100, LAST_STEP = 10 };

int Step = -1;
uint32_t BarValue;
ProgressBar InitBar;

// What each step reads, and the bar value after it (or the growth, for steps that read nothing).
void RunStep(int step)
{
    switch (step) {
    case 2:
        ReadSoundSetting();
        BarValue = 21;
        break;
    case 5:
        ReadAppearance();
        BarValue = 40;
        break;
    case 8:
        ReadSheetPictures();
        BarValue = 80;
        break;
    case 9:
        ReadBannerPicture(BannerPicture, BannerTempName, 0);
        BarValue = 100;
        break;
    default:
        BarValue += (step == 3 || step == 4) ? 5 : 4;
    }
}

// The Cancel button is enabled only now, so that the dialog's own closing
// turns WM_CLOSE into its end; before, Alt+F4 has nothing to act on.
void Finish(HWND dialog)
{
    KillTimer(dialog, TIMER_ID);
    EnableWindow(GetDlgItem(dialog, IDCANCEL), TRUE);
    SendMessageA(dialog, WM_CLOSE, 0, 0);
}

void CALLBACK Tick(HWND dialog, UINT, UINT_PTR, DWORD)
{
    if (Step == -1)
        SetActiveWindow(dialog);
    if (++Step >= LAST_STEP) {
        if (Step == LAST_STEP)
            Sleep(TICK_MS);
        Finish(dialog);
        return;
    }
    RunStep(Step);
    SetProgressPosition(InitBar, BarValue);
}

INT_PTR CALLBACK InitializingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        PlaceWindow(dialog, PLACE_CENTRE);
        CreateProgressBar(InitBar, dialog, IDC_INIT_BAR);
        SetWindowTextA(dialog, SetupString(SLOT_INIT_CAPTION));
        SetDlgItemTextA(dialog, IDC_INIT_TEXT, SetupString(SLOT_INIT_TEXT));
        SetTimer(dialog, TIMER_ID, TICK_MS, Tick);
        return TRUE;
    case WM_PAINT:
        PaintProgressBar(InitBar);
        break;
    case WM_COMMAND: {
        // Some window managers turn every closing request into IDCANCEL, enabled
        // button or not; only the last step's enabled button may end the dialog.
        const int id = LOWORD(wParam);
        if ((id == IDOK || id == IDCANCEL) && IsWindowEnabled(GetDlgItem(dialog, id)))
            EndDialog(dialog, id);
        break;
    }
    default:
        return FALSE;
    }
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
    return TRUE;
}

} // namespace

void RunInitializingDialog()
{
    DialogBoxParamA(Instance, MAKEINTRESOURCEA(IDD_INITIALIZING), NULL, InitializingProc, 0);
}
