// Starting a program of the package and, when asked, waiting for its end.
#pragma once

// The exit code when it waited, 0 when it did not, -1 when the program could
// not be started. The program path goes into the command line in quotes, so
// that a path with a space reaches the program as one argument; without
// arguments no command line is given.
int RunProgram(const char* program, const char* arguments, int wait);
