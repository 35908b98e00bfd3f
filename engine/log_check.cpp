#include "log_check.h"
#include "base/paths.h"
#include "log_names.h"
#include "package/data_records.h"
#include <string.h>

const char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

namespace {

// Keys of Windows and of every program, each list a run of texts ended by
// an empty one; the keys an install makes below them are its own.
const char SharedSoftware[] = "Microsoft\0Microsoft\\Windows\0Microsoft\\Windows\\CurrentVersion\0"
                              "Microsoft\\Windows NT\0Microsoft\\Windows NT\\CurrentVersion\0"
                              "Classes\0Policies\0Wow6432Node\0";
const char CurrentVersion[] = "Microsoft\\Windows\\CurrentVersion\\";
const char SharedCurrentVersion[] = "Run\0RunOnce\0App Paths\0Uninstall\0Explorer\0Policies\0";
const char SharedSystem[] = "CurrentControlSet\0CurrentControlSet\\Services\0CurrentControlSet\\Control\0";
// Classes every program shares, below HKEY_CLASSES_ROOT or "Software\Classes\".
const char SharedClasses[] = "CLSID\0Interface\0TypeLib\0AppID\0*\0Directory\0Drive\0Folder\0"
                             "AllFilesystemObjects\0exefile\0lnkfile\0Applications\0SystemFileAssociations\0"
                             "MIME\0Installer\0Wow6432Node\0";

char FoldAscii(char c)
{
    return c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c;
}

int IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Whether key, with or without its trailing backslash, is one of the list.
int IsOneOf(const char* key, const char* list)
{
    for (; *list; list += strlen(list) + 1) {
        const char* rest = BehindPrefix(key, list);
        if (rest && (!rest[0] || (rest[0] == '\\' && !rest[1])))
            return 1;
    }
    return 0;
}

// The number of components of a key path, which may end in one backslash;
// -1 when one of them is empty.
int CountComponents(const char* key)
{
    int count = 0;
    const char* start = key;
    for (const char* p = key;; p = NextChar(p)) {
        if (*p && *p != '\\')
            continue;
        if (p == start)
            return !*p && count ? count : -1;
        count++;
        if (!*p)
            return count;
        start = p + 1;
    }
}

int IsSharedClass(const char* key)
{
    return IsOneOf(key, SharedClasses);
}

// The keys of HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, and of a user below
// HKEY_USERS, that an install may own.
int IsOwnableBelowUser(const char* key)
{
    const char* rest = BehindPrefix(key, "Software\\");
    if (rest) {
        if (const char* mirrored = BehindPrefix(rest, "Wow6432Node\\"))
            rest = mirrored[0] ? mirrored : rest;
        const char* below = BehindPrefix(rest, "Classes\\");
        if (below && below[0] && IsSharedClass(below))
            return 0;
        below = BehindPrefix(rest, CurrentVersion);
        return !IsOneOf(rest, SharedSoftware) && !(below && IsOneOf(below, SharedCurrentVersion));
    }
    rest = BehindPrefix(key, "System\\");
    return !rest || !IsOneOf(rest, SharedSystem);
}

} // namespace

const char* BehindPrefix(const char* text, const char* prefix)
{
    while (*prefix) {
        const size_t n = (size_t)(NextChar(prefix) - prefix);
        if (n == 1 ? FoldAscii(*prefix) != FoldAscii(*text) : prefix[0] != text[0] || prefix[1] != text[1])
            return nullptr;
        prefix += n;
        text += n;
    }
    return text;
}

// Windows reads a component of dots and spaces alone as this folder or the
// one above, and a colon as a drive or a stream.
static int ComponentsAreNames(const char* rest)
{
    int onlyDots = 1;
    for (const char* p = rest;; p = NextChar(p)) {
        if (!*p || IsSeparator(*p)) {
            if (onlyDots)
                return 0;
            if (!*p)
                return 1;
            onlyDots = 1;
        } else if (*p == ':') {
            return 0;
        } else if (*p != '.' && *p != ' ') {
            onlyDots = 0;
        }
    }
}

int PathIsInside(const char* path, const InstallFolders& folders)
{
    for (int i = 0; i < folders.count; i++) {
        const char* folder = folders.paths[i];
        const char* rest = folder[0] ? BehindPrefix(path, folder) : nullptr;
        if (rest && ComponentsAreNames(rest))
            return 1;
    }
    return 0;
}

int KeyIsOwnable(uint16_t root, const char* key)
{
    const int components = CountComponents(key);
    switch (root) {
    case ROOT_CLASSES:
        return components > 0 && !IsSharedClass(key);
    case ROOT_USERS:
        // The first component is the user, whose keys are those of the current user.
        if (components < 3)
            return 0;
        while (*key != '\\')
            key = NextChar(key);
        return IsOwnableBelowUser(key + 1);
    case ROOT_CURRENT_USER:
    case ROOT_LOCAL_MACHINE:
    case ROOT_CURRENT_CONFIG:
        return components > 1 && IsOwnableBelowUser(key);
    default:
        return 0;
    }
}

int RecordIsBelievable(const LogRecord& r, uint32_t index, const InstallFolders& folders)
{
    if (index == 0) {
        const char* name = r.kind == LOG_FILE ? BehindPrefix(r.text, folders.paths[0]) : nullptr;
        return name && !LastBackslash(name) && LogNumber(name);
    }
    if (r.kind == LOG_FILE)
        return PathIsInside(r.text, folders);
    if (r.kind == LOG_REGISTRY)
        return r.flag == 0 || KeyIsOwnable(r.root, r.text);
    return 1;
}

long FirstRefusedRecord(uint8_t* log, size_t size, const InstallFolders& folders)
{
    uint32_t count = 0;
    ByteCursor c;
    if (!OpenLogBytes(log, size, &count, &c))
        return 0;
    LogRecord r;
    for (uint32_t i = 0; i < count; i++)
        if (!ReadLogRecord(c, r) || !RecordIsBelievable(r, i, folders))
            return (long)i;
    return -1;
}
