// Starting a program: the package's install and uninstall commands, and the
// programs the closing actions open; and what a command that could not
// start means for the install or the removal it belongs to.
#pragma once
#include "package/settings_records.h"
#include <stdint.h>

// Starts program with commandLine (may be null), shown normally and without
// the system's error boxes. With wait, the exit code once it has ended;
// without, 0; -1 when it could not be started.
int StartProgram(const char* program, char* commandLine, int wait);

// The same with the program path in quotes at the head of the command line,
// so that a path with a space reaches the program as one argument; without
// arguments no command line is given.
int RunProgram(const char* program, const char* arguments, int wait);

// A command that could not start stops the install or the removal when its
// flags say so, and is told with its message when it has one.
inline int StartFailureStops(uint8_t flags)
{
    return flags & COMMAND_ABORT_ON_FAILURE;
}
inline const char* StartFailureText(uint8_t flags, const char* message)
{
    return (flags & COMMAND_HAS_MESSAGE) ? message : nullptr;
}
