#include "log_names.h"
#include "base/paths.h"
#include "log_check.h"
#include <string.h>

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

// "<prefix><digits><suffix>" into out when the log has a number.
static int NameWithNumber(char* out, const char* prefix, const char* mark, const char* logPath, const char* suffix)
{
    const char* digits = LogNumber(logPath);
    char number[4] = "";
    if (!digits)
        return 0;
    memcpy(number, digits, 3);
    out[0] = 0;
    return AppendText(out, PATH_SIZE, prefix) && AppendText(out, PATH_SIZE, mark) &&
           AppendText(out, PATH_SIZE, number) && AppendText(out, PATH_SIZE, suffix);
}

int OlderCopyName(char* out, const char* path, const char* logPath)
{
    return NameWithNumber(out, path, ".~q", logPath, "");
}

int StagedFilePath(char* out, const char* folder, const char* logPath)
{
    return NameWithNumber(out, folder, "~q", logPath, "\\new");
}
