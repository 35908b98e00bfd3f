#include "paths.h"
#include "shared.h"
#include <string.h>

char TempDir[PATH_SIZE];
char WindowsDir[PATH_SIZE];
char SystemDir[PATH_SIZE];
char SetupDir[PATH_SIZE];
char DestinationPath[PATH_SIZE];
unsigned char LeadByteRanges[12];

static int IsLeadByte(unsigned char byte)
{
    for (int i = 0; i + 1 < (int)sizeof LeadByteRanges && LeadByteRanges[i]; i += 2)
        if (byte >= LeadByteRanges[i] && byte <= LeadByteRanges[i + 1])
            return 1;
    return 0;
}

void UseLeadByteRanges(const unsigned char* ranges, size_t size)
{
    memset(LeadByteRanges, 0, sizeof LeadByteRanges);
    memcpy(LeadByteRanges, ranges, size < sizeof LeadByteRanges ? size : sizeof LeadByteRanges);
}

const char* NextChar(const char* text)
{
    if (!*text)
        return text;
    return IsLeadByte((unsigned char)*text) && text[1] ? text + 2 : text + 1;
}

int EndsInBackslash(const char* text)
{
    const char* last = nullptr;
    for (const char* p = text; *p; p = NextChar(p))
        last = p;
    return last && *last == '\\';
}

const char* LastBackslash(const char* text)
{
    const char* last = nullptr;
    for (const char* p = text; *p; p = NextChar(p))
        if (*p == '\\')
            last = p;
    return last;
}

void LastPathComponent(char* out, const char* path)
{
    const char* start = path;
    const char* end = path + strlen(path);
    for (const char* p = path; *p; p = NextChar(p)) {
        if (*p != '\\')
            continue;
        if (!*NextChar(p)) {
            end = p;
            break;
        }
        start = p + 1;
    }
    memmove(out, start, end - start);
    out[end - start] = 0;
}

const char* LastChars(const char* text, size_t count)
{
    size_t total = 0;
    for (const char* p = text; *p; p = NextChar(p))
        total++;
    for (; total > count; total--)
        text = NextChar(text);
    return text;
}

int SameText(const char* a, const char* b)
{
    while (*a && *a == *b) {
        a++;
        b++;
    }
    return *a == *b;
}

int AppendText(char* out, size_t size, const char* text)
{
    const size_t a = strlen(out), b = strlen(text);
    if (a + b >= size)
        return 0;
    memcpy(out + a, text, b + 1);
    return 1;
}

size_t EndFolderString(char* buffer, size_t n)
{
    const int needsBackslash = n > 0 && n < PATH_SIZE && !EndsInBackslash(buffer);
    if (n == 0 || n + needsBackslash >= PATH_SIZE) {
        buffer[0] = 0;
        return n;
    }
    if (needsBackslash)
        buffer[n++] = '\\';
    buffer[n] = 0;
    return n - needsBackslash;
}

void CutToFolder(char* path)
{
    char* keep = path;
    for (char* p = path; *p; p = (char*)NextChar(p))
        if (*p == '\\' || *p == '/' || *p == ':')
            keep = p + 1;
    *keep = 0;
}

void FolderOfPath(char* out, const char* path)
{
    memmove(out, path, strlen(path) + 1);
    CutToFolder(out);
}

int JoinPath(char* out, const char* folder, const char* name)
{
    const size_t a = strlen(folder), b = strlen(name);
    if (a + b >= PATH_SIZE) {
        out[0] = 0;
        return 0;
    }
    memmove(out + a, name, b + 1);
    memmove(out, folder, a);
    return 1;
}

static const char* FolderOfCode(int code)
{
    switch (code) {
    case FOLDER_DESTINATION: return DestinationPath;
    case FOLDER_SYSTEM: return SystemDir;
    case FOLDER_WINDOWS: return WindowsDir;
    default: return nullptr;
    }
}

int ResolveFolderPath(int code, char* out, const char* name)
{
    const char* folder = FolderOfCode(code);
    if (!folder) {
        JoinPath(out, "", name);
        return 0;
    }
    if (name[0] == '\\')
        name++;
    return JoinPath(out, folder, name);
}
