// Drives a setup program the way a user does: start it, find its windows,
// read their texts, press buttons, take screenshots, wait for it to end.
// Every wait has a time-out, so a test fails instead of hanging.
#pragma once
#include "png_file.h"
#include <string>
#include <vector>
#include <windows.h>

enum { DEFAULT_WAIT_MS = 20000 };

struct RunningProgram {
    HANDLE process = NULL;
    DWORD id = 0;
};

// Starts exe with TMP and TEMP pointing at tempDir. The wide form reaches
// folders the ANSI code page cannot spell.
bool StartProgram(RunningProgram& program, const std::string& exe, const std::string& tempDir);
bool StartProgram(RunningProgram& program, const std::wstring& exe, const std::string& tempDir);

// Starts a command line as the list of installed programs does, the program
// found by the command line alone.
bool StartCommandLine(RunningProgram& program, const std::string& commandLine, const std::string& tempDir);

// A running process started from a program file of this name, found within
// the time-out, as one to wait for.
bool FindProgram(RunningProgram& program, const char* programName, DWORD timeoutMs = DEFAULT_WAIT_MS);

// A UTF-8 text (a source file's literal) in UTF-16.
std::wstring Utf16(const std::string& utf8);

// A visible top-level window of the program with this class and caption
// (either may be null for any), or null after the time-out.
HWND WaitForWindow(const RunningProgram& program, const char* className, const char* caption,
                   DWORD timeoutMs = DEFAULT_WAIT_MS);
// A message box of the program with this caption, not another dialog of that caption.
HWND WaitForMessageBox(const RunningProgram& program, const char* caption, DWORD timeoutMs = DEFAULT_WAIT_MS);

std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int id);
// The message of a message box, as its static controls show it.
std::string MessageBoxText(HWND box);

bool IsControlVisible(HWND dialog, int id);
bool IsControlEnabled(HWND dialog, int id);

// Clicks a button of a dialog; false if the dialog has no such button.
bool PressButton(HWND dialog, int id);
// The same without waiting for what the click does, for a click that opens a
// message box or another dialog.
bool PressButtonLater(HWND dialog, int id);
// The Enter key, as the user presses it where the dialog's focus is.
bool PressEnter(HWND dialog);
bool IsButtonChecked(HWND dialog, int id);

// The texts of a list box's items, in their order.
std::vector<std::string> ListItems(HWND dialog, int id);

// The command lines of the running processes started from a program file of
// this name (e.g. "notepad.exe") that contain a text, and ending them.
std::vector<std::string> CommandLinesOf(const char* programName, const std::string& containing);
void EndProcessesOf(const char* programName, const std::string& containing);

// A shell folder of the user ("Desktop", "Programs"...), with a trailing backslash.
std::string ShellFolder(const char* name);

// Deletes the entries of a product in Windows' list of installed programs
// (the keys "<product> QX<n>" below Uninstall in HKEY_LOCAL_MACHINE).
void RemoveUninstallEntries(const std::string& product);
// The command of a product's first entry in that list; empty without one.
std::string UninstallString(const std::string& product);

// A string value, or an empty text when there is none.
std::string RegistryText(HKEY root, const std::string& key, const char* name);

// Starts a setup of the typical texts ("Slot <n>", driver/typical_package.h),
// answers yes, walks Welcome, License, Destination (agreeing to a
// destination that exists) and the group step if there is one, and presses
// Install without waiting: the wizard, or null.
HWND StartTypicalAndInstall(RunningProgram& program, const std::string& exe, const std::string& tempDir,
                            bool destinationExists = false);

// Starts the test package of this name (QI_E2E_PACKAGES) and answers its
// question with yes; false if it did not start or ask.
bool StartAndAgree(RunningProgram& program, const char* package, const std::string& tempDir);

// Waits for a message box of the program that shows text and presses its
// button id (IDYES, IDNO, IDOK...); false if none appeared in time.
bool AnswerMessageBox(const RunningProgram& program, const std::string& text, int button,
                      DWORD timeoutMs = DEFAULT_WAIT_MS);

// Replaces the text of an edit control as typing would, with its change notifications.
bool TypeText(HWND dialog, int id, const std::string& text);

// Selects the list box item with this text and tells the dialog, as a click
// does; the double click also sends the double-click notification.
bool SelectListItem(HWND dialog, int id, const std::string& text);
bool DoubleClickListItem(HWND dialog, int id, const std::string& text);

// A file, and the folders on its way, whose creation and last-write times
// lie in the given year; Wine reports the last write as the creation time.
void WriteDated(const std::string& path, const std::string& text, WORD year);

// The window's client area in screen coordinates.
RECT ClientOnScreen(HWND window);

// The exit code, or -1 if the program did not end in time (it is then killed).
long WaitForExit(RunningProgram& program, DWORD timeoutMs = DEFAULT_WAIT_MS);

// What the screen shows now.
RgbPicture CaptureScreen();

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};
Rgb PixelAt(const RgbPicture& picture, int x, int y);
// Saves the screen as a PNG file in the screenshot folder of the build.
bool SaveScreenshot(const std::string& name);

// A pixel of the picture in the wizard's left column, where no control of
// any step covers it (below the License step's icon).
Rgb WizardPictureSample(HWND wizard);
