#include "log_names.h"
#include "base/paths.h"
#include "log_check.h"

const char* LogNumber(const char* logPath)
{
    const char* slash = LastBackslash(logPath);
    const char* digits = BehindPrefix(slash ? slash + 1 : logPath, "QXUn");
    if (!digits)
        return nullptr;
    for (int i = 0; i < 3; i++)
        if (digits[i] < '0' || digits[i] > '9')
            return nullptr;
    const char* end = BehindPrefix(digits + 3, ".uqx");
    return end && !*end ? digits : nullptr;
}

// prefix and pattern, whose "#"s take the log's digits in turn, into out.
static int NameWithNumber(char* out, const char* prefix, const char* pattern, const char* logPath)
{
    const char* digits = LogNumber(logPath);
    char tail[16];
    if (!digits)
        return 0;
    for (int i = 0; (tail[i] = pattern[i]) != 0; i++)
        if (pattern[i] == '#')
            tail[i] = *digits++;
    return JoinPath(out, prefix, tail);
}

int OlderCopyName(char* out, const char* path, const char* logPath)
{
    return NameWithNumber(out, path, ".~q###", logPath);
}

int StagedFilePath(char* out, const char* folder, const char* logPath)
{
    return NameWithNumber(out, folder, "~q###\\new", logPath);
}
