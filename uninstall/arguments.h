// The uninstaller's command line, split the way programs split theirs.
#pragma once

enum { MAX_ARGUMENTS = 8 };

// Splits line in place into at most MAX_ARGUMENTS arguments, separated by
// spaces and tabs; a double quote starts or ends a part where spaces count as
// characters. The line is walked by character. The number of arguments.
int SplitArguments(char* line, char* arguments[MAX_ARGUMENTS]);
