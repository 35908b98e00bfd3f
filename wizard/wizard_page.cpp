#include "wizard_page.h"
#include "base/drawn_controls.h"
#include "base/folders.h"
#include "base/shared.h"
#include "destination.h"
#include "engine/progress_dialog.h"
#include "engine/shared.h"
#include "package/load_package.h"
#include "package/settings_readers.h"
#include "package/shared.h"
#include "package/string_table.h"
#include "questions.h"
#include "res/resource_ids.h"
#include "start_menu_group.h"
#include "wizard/shared.h"

namespace {

int16_t CurrentStep = STEP_WELCOME;

struct SheetBitmap {
    HDC dc;
    int32_t width, height;
};

SheetBitmap Pictures[4];
RECT PictureArea;
int PictureAreaReady;

// Control ids in the tables below, as their distance from 1000, which
// keeps each in a byte.
constexpr uint8_t Id(int control)
{
    return (uint8_t)(control - 1000);
}

int Control(uint8_t id)
{
    return 1000 + id;
}

// The controls of each step; 0 ends a list.
const uint8_t StepControls[6][9] = {
    {Id(IDC_WELCOME_HEADING), Id(IDC_WELCOME_TEXT), Id(IDC_WELCOME_CONTINUE), Id(IDC_WELCOME_ICON)},
    {Id(IDC_LICENSE_INSTRUCTION), Id(IDC_LICENSE_QUESTION), Id(IDC_LICENSE_TEXT), Id(IDC_LICENSE_ICON)},
    {Id(IDC_DESTINATION_TEXT), Id(IDC_DESTINATION_BOX), Id(IDC_REQUIRED_LABEL), Id(IDC_AVAILABLE_LABEL),
     Id(IDC_DESTINATION_PATH), Id(IDC_BROWSE), Id(IDC_REQUIRED_SIZE), Id(IDC_AVAILABLE_SIZE)},
    {Id(IDC_GROUP_LABEL), Id(IDC_GROUP_TEXT), Id(IDC_GROUP_NAME), Id(IDC_GROUP_LIST)},
    {Id(IDC_READY_TEXT)},
    {Id(IDC_FINISH_TEXT), Id(IDC_FINISH_MORE), Id(IDC_README)},
};
const uint8_t StepCaptionSlots[6] = {SLOT_WELCOME_TITLE, SLOT_LICENSE_TITLE, SLOT_DESTINATION_TITLE,
                                     SLOT_GROUP_TITLE,   SLOT_READY_TITLE,   SLOT_FINISH_TITLE};
// The picture of each step; the License step has none.
const int8_t StepPictures[6] = {0, -1, 1, 1, 2, 3};

// The texts the controls start with, as control and string slot.
const uint8_t InitialTexts[][2] = {
    {Id(IDC_WELCOME_HEADING), SLOT_WELCOME_HEADING},
    {Id(IDC_WELCOME_TEXT), SLOT_WELCOME_UPDATE_TEXT},
    {Id(IDC_WELCOME_CONTINUE), SLOT_WELCOME_CONTINUE_TEXT},
    {Id(IDC_LICENSE_TEXT), SLOT_LICENSE_TEXT},
    {Id(IDC_LICENSE_INSTRUCTION), SLOT_LICENSE_INSTRUCTION},
    {Id(IDC_LICENSE_QUESTION), SLOT_LICENSE_QUESTION},
    {Id(IDC_DESTINATION_TEXT), SLOT_DESTINATION_TEXT},
    {Id(IDC_DESTINATION_BOX), SLOT_DESTINATION_GROUP},
    {Id(IDC_BROWSE), SLOT_BROWSE_BUTTON},
    {Id(IDC_REQUIRED_LABEL), SLOT_SPACE_REQUIRED_LABEL},
    {Id(IDC_AVAILABLE_LABEL), SLOT_SPACE_AVAILABLE_LABEL},
    {Id(IDC_GROUP_LABEL), SLOT_GROUP_LABEL},
    {Id(IDC_GROUP_TEXT), SLOT_GROUP_TEXT},
    {Id(IDC_READY_TEXT), SLOT_READY_TEXT},
    {Id(IDC_FINISH_TEXT), SLOT_FINISH_TEXT},
    {Id(IDC_README), SLOT_README_CHECKBOX},
    {Id(IDC_FINISH_MORE), SLOT_FINISH_TEXT_2},
};

HBITMAP LoadSheetPicture(const TempFileRecord& record)
{
    HBITMAP bitmap = NULL;
    if (record.present)
        bitmap = (HBITMAP)LoadImageA(NULL, record.path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE);
    return bitmap ? bitmap : (HBITMAP)LoadImageA(Instance, MAKEINTRESOURCEA(IDB_SHEET), IMAGE_BITMAP, 0, 0, 0);
}

// The four pictures, each in a memory device context of its own; their
// extracted files are no longer needed once loaded.
void PreparePictures(HWND wizard)
{
    HBITMAP bitmaps[4];
    for (int i = 0; i < 4; i++)
        bitmaps[i] = LoadSheetPicture(SheetPicture[i]);
    for (const TempFileRecord& record : SheetPicture)
        if (record.present && record.deleteAfterUse)
            DeleteFileA(record.path);
    HWND placeholder = GetDlgItem(wizard, IDC_PICTURE);
    GetWindowRect(placeholder, &PictureArea);
    MapWindowPoints(NULL, wizard, (POINT*)&PictureArea, 2);
    DestroyWindow(placeholder);
    PictureAreaReady = 1;
    for (int i = 0; i < 4; i++) {
        Pictures[i].dc = CreateCompatibleDC(NULL);
        SelectObject(Pictures[i].dc, bitmaps[i]);
        BITMAP info = {};
        GetObjectA(bitmaps[i], sizeof info, &info);
        Pictures[i].width = info.bmWidth;
        Pictures[i].height = info.bmHeight;
    }
}

void PaintPicture(HWND wizard)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(wizard, &paint);
    const int picture = CurrentStep >= 0 && CurrentStep < 6 ? StepPictures[CurrentStep] : -1;
    if (PictureAreaReady && picture >= 0) {
        const SheetBitmap& p = Pictures[picture];
        StretchPicture(dc, PictureArea, p.dc, p.width, p.height);
    }
    EndPaint(wizard, &paint);
}

void ShowControl(HWND wizard, int id, int shown)
{
    ShowWindow(GetDlgItem(wizard, id), shown ? SW_SHOW : SW_HIDE);
}

void ShowStepControls(HWND wizard, int step, int shown)
{
    for (const uint8_t* id = StepControls[step]; *id; id++)
        if (!(shown && Control(*id) == IDC_README))
            ShowControl(wizard, Control(*id), shown);
}

const char* NextButtonText(int step)
{
    switch (step) {
    case STEP_LICENSE: return SetupString(SLOT_LICENSE_NEXT_BUTTON);
    case STEP_READY: return SetupString(SLOT_INSTALL_BUTTON);
    case STEP_FINISH: return WizardButtonCaptions[CAPTION_FINISH];
    default: return WizardButtonCaptions[CAPTION_NEXT];
    }
}

// The README check box shows, checked, only when there is a README and a text for the box.
void ShowReadmeChoice(HWND wizard)
{
    const int offered = SetupString(SLOT_README_CHECKBOX)[0] && Choices.readme[0];
    ShowControl(wizard, IDC_README, offered);
    if (offered) {
        CheckDlgButton(wizard, IDC_README, BST_CHECKED);
        ReadmeWanted = 1;
    }
}

void EnterFinishStep(HWND wizard)
{
    ShowWindow(wizard, SW_SHOW);
    SetForegroundWindow(wizard);
    ShowReadmeChoice(wizard);
}

// Hides the old step's controls and sets up the new step; 0 for a step that
// does not exist. The caller keeps CurrentStep.
int ShowStep(HWND wizard, int step, int old)
{
    if (old >= 0 && old < 6)
        ShowStepControls(wizard, old, 0);
    if (step < 0 || step >= 6)
        return 0;
    SetWindowTextA(wizard, SetupString(StepCaptionSlots[step]));
    HWND back = GetDlgItem(wizard, IDC_BACK), cancel = GetDlgItem(wizard, IDCANCEL);
    ShowWindow(back, step == STEP_WELCOME ? SW_HIDE : SW_SHOW);
    EnableWindow(back, step != STEP_FINISH);
    SetWindowTextA(back, WizardButtonCaptions[CAPTION_BACK]);
    SetDlgItemTextA(wizard, IDC_NEXT, NextButtonText(step));
    ShowWindow(cancel, step == STEP_FINISH ? SW_HIDE : SW_SHOW);
    EnableWindow(cancel, step != STEP_FINISH);
    if (step == STEP_FINISH)
        EnterFinishStep(wizard);
    ShowStepControls(wizard, step, 1);
    if (step == STEP_DESTINATION)
        ShowDestinationSizes(wizard);
    if (step == STEP_GROUP)
        EnterGroupStep();
    InvalidateRect(wizard, &PictureArea, step == STEP_LICENSE);
    return 1;
}

void GoToStep(HWND wizard, int step)
{
    ShowStep(wizard, step, CurrentStep);
    CurrentStep = (int16_t)step;
}

void Initialize(HWND wizard)
{
    CurrentStep = STEP_WELCOME;
    PreparePictures(wizard);
    PlaceWindow(wizard, 0);
    SetDlgItemTextA(wizard, IDCANCEL, WizardButtonCaptions[CAPTION_CANCEL]);
    // Back and Next take their texts with the step. Enter presses Next on
    // every step: the template's default button is a hidden one.
    SendMessageA(wizard, DM_SETDEFID, IDC_NEXT, 0);
    ShowStep(wizard, CurrentStep, -1);
    for (const uint8_t* t : InitialTexts)
        SetDlgItemTextA(wizard, Control(t[0]), SetupString(t[1]));
    ProposeDestination(wizard);
    PrepareGroupStep(wizard);
}

// The group folder the install needs: 1 when it is there (made is set when
// it was made just now), 0 when the user would rather choose another.
int MakeGroupFolder(HWND wizard, int* made)
{
    *made = 0;
    if (!Choices.group || PathExists(Choices.group))
        return 1;
    if (CreateDirectoryA(Choices.group, NULL)) {
        *made = 1;
        return 1;
    }
    char name[PATH_SIZE];
    LastPathComponent(name, Choices.group);
    if (!AskYesAbout(wizard, SLOT_GROUP_FOLDER_QUESTION, name))
        return 0;
    Choices.group = nullptr;
    return 1;
}

// The destination is made here, its last folder only: the user chose its
// parent. When that fails the user is told so and chooses again. Then, or
// when the install fails, a group folder made just before goes again; one
// that was there already stays.
void StartInstall(HWND wizard)
{
    int groupMade;
    if (!MakeGroupFolder(wizard, &groupMade)) {
        GoToStep(wizard, STEP_GROUP);
        return;
    }
    if (!PathExists(DestinationPath) && !CreateDirectoryA(DestinationPath, NULL)) {
        if (groupMade)
            RemoveDirectoryA(Choices.group);
        Tell(wizard, SLOT_ERROR_CREATE_FOLDER, MB_ICONHAND);
        GoToStep(wizard, STEP_DESTINATION);
        return;
    }
    if (!EndsInBackslash(DestinationPath))
        AppendText(DestinationPath, PATH_SIZE, "\\");
    ShowWindow(wizard, SW_HIDE);
    // A progress dialog that could not even be made has installed nothing.
    if (RunProgressDialog(wizard, WizardButtonCaptions[CAPTION_CANCEL]) != PROGRESS_INSTALLED) {
        if (groupMade)
            RemoveDirectoryA(Choices.group);
        PostMessageA(BackgroundWindow, WM_CLOSE, 0, 0);
        return;
    }
    SetupCompleted = 1;
    GoToStep(wizard, STEP_FINISH);
}

void Next(HWND wizard)
{
    switch (CurrentStep) {
    case STEP_WELCOME:
    case STEP_LICENSE:
        GoToStep(wizard, CurrentStep + 1);
        break;
    case STEP_DESTINATION:
        if (!ConfirmExistingDestination(wizard))
            break;
        if (!Package.settings.GroupStepEnabled)
            Choices.group = nullptr;
        GoToStep(wizard, Package.settings.GroupStepEnabled ? STEP_GROUP : STEP_READY);
        break;
    case STEP_GROUP:
        if (AcceptGroup(wizard))
            GoToStep(wizard, STEP_READY);
        break;
    case STEP_READY:
        StartInstall(wizard);
        break;
    case STEP_FINISH:
        ReadmeWanted = IsDlgButtonChecked(wizard, IDC_README) == BST_CHECKED;
        EndDialog(wizard, 1);
        CurrentStep = STEP_FINISHED;
        break;
    }
}

void Back(HWND wizard)
{
    if (CurrentStep <= STEP_WELCOME || CurrentStep >= STEP_FINISH)
        return;
    if (CurrentStep == STEP_READY && !Package.settings.GroupStepEnabled)
        GoToStep(wizard, STEP_DESTINATION);
    else
        GoToStep(wizard, CurrentStep - 1);
}

// Escape and the close box arrive as Cancel too; on the Finish step, where
// the button is gone, they do nothing.
void Cancel(HWND wizard)
{
    if (!IsWindowEnabled(GetDlgItem(wizard, IDCANCEL)))
        return;
    if (AskYes(wizard, SetupString(SLOT_CANCEL_QUESTION)))
        EndDialog(wizard, 2);
}

void Command(HWND wizard, int id, int notification)
{
    switch (id) {
    case IDCANCEL: Cancel(wizard); break;
    case IDC_BROWSE: BrowseForDestination(wizard); break;
    case IDC_GROUP_LIST:
        if (notification == LBN_DBLCLK)
            OpenGroupListItem(wizard);
        break;
    case IDC_NEXT: Next(wizard); break;
    case IDC_BACK: Back(wizard); break;
    }
}

} // namespace

INT_PTR CALLBACK WizardProc(HWND wizard, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        Initialize(wizard);
        return TRUE;
    case WM_PAINT:
        PaintPicture(wizard);
        break;
    case WM_COMMAND:
        Command(wizard, LOWORD(wParam), HIWORD(wParam));
        break;
    default:
        return FALSE;
    }
    SetWindowLongPtrA(wizard, DWLP_MSGRESULT, 0);
    return TRUE;
}
