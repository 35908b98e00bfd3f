// What qpack needs of the system it runs on besides files: its arguments and
// messages in UTF-8, whether a stream is a terminal, other programs, and the
// setup program it appends to unless told otherwise.
#pragma once
#include <stdio.h>
#include <string>
#include <vector>

// The command line's arguments as UTF-8, the program's name first.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Messages are UTF-8; a Windows console shows them so while qpack runs.
void PrepareConsole();

bool IsTerminal(FILE* stream);

// Runs a program found on the search path, its name first among the
// arguments, and waits for it; false when it cannot be started. A program
// that does not end by itself has the exit code -1.
bool RunProgram(const std::vector<std::string>& arguments, int& exitCode);

// The setup program qpack appends packages to unless --stub names another,
// and where it was found: the first of qsetup.exe beside qpack, in the
// "share/qinstall" folder of the prefix qpack is installed in (Linux), and
// in the build tree qpack was built in (Linux) that exists; the first place
// when none does.
struct DefaultSetupProgram {
    std::string path;
    const char* found; // "beside qpack", "in the install prefix", "in the build tree"
};
DefaultSetupProgram FindDefaultStub();
