#include "questions.h"
#include "package/string_table.h"

int AskYes(HWND owner, const char* text)
{
    return MessageBoxA(owner, text, SetupString(SLOT_SETUP_CAPTION), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDNO;
}

void Tell(HWND owner, StringSlot slot, UINT icon)
{
    MessageBoxA(owner, SetupString(slot), SetupString(SLOT_SETUP_CAPTION), icon);
}

// wsprintfA writes at most 1024 bytes: a longer question is cut short.
int AskYesAbout(HWND owner, StringSlot slot, const char* name)
{
    char text[1024];
    wsprintfA(text, "%s\n( %s )", SetupString(slot), name);
    return AskYes(owner, text);
}
