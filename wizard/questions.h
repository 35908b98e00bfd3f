// The wizard's messages and its yes/no questions: No is the default button,
// and every answer but No counts as yes.
#pragma once
#include "package/string_slots.h"
#include <windows.h>

// 1 unless the user answered No.
int AskYes(HWND owner, const char* text);
// The question of a string slot with a name below it in brackets.
int AskYesAbout(HWND owner, StringSlot slot, const char* name);
// The text of a string slot with an OK button and the icon given.
void Tell(HWND owner, StringSlot slot, UINT icon);
