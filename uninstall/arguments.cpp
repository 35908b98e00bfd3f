#include "arguments.h"
#include "base/paths.h"

static int IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

int SplitArguments(char* line, char* arguments[MAX_ARGUMENTS])
{
    int count = 0;
    char* read = line;
    while (count < MAX_ARGUMENTS) {
        while (IsBlank(*read))
            read++;
        if (!*read)
            break;
        // The argument is written over the line behind its start, without its quotes.
        char* write = read;
        arguments[count++] = write;
        int quoted = 0;
        while (*read && (quoted || !IsBlank(*read))) {
            if (*read == '"') {
                quoted = !quoted;
                read++;
                continue;
            }
            const char* next = NextChar(read);
            while (read < next)
                *write++ = *read++;
        }
        const int ended = *read != 0;
        if (ended)
            read++;
        *write = 0;
        if (!ended)
            break;
    }
    return count;
}
