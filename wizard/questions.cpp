#include "questions.h"
#include "package/string_table.h"

int AskYes(HWND owner, const char* text)
{
    return MessageBoxA(owner, text, SetupString(1), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDNO;
}

void Tell(HWND owner, int slot, UINT icon)
{
    MessageBoxA(owner, SetupString(slot), SetupString(1), icon);
}

// wsprintfA writes at most 1024 bytes: a longer question is cut short.
int AskYesAbout(HWND owner, int slot, const char* name)
{
    char text[1024];
    wsprintfA(text, "%s\n( %s )", SetupString(slot), name);
    return AskYes(owner, text);
}
