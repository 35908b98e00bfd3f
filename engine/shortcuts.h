// The package's shell links: in the Start-menu group the user chose or in
// one of the user's shell folders, made through the shell's link object.
// Worker thread only.
#pragma once
#include "base/paths.h"
#include "package/byte_cursor.h"
#include <windows.h>

struct LinkItem {
    char target[PATH_SIZE];
    const char* arguments;
    char icon[PATH_SIZE]; // empty: the target's own icon
    int iconIndex;
    char link[PATH_SIZE]; // empty: its folder is not there, the link is passed over
    uint8_t inGroup;      // the log removes the group folder with the link
};

// The next record with its paths made whole; 0 for a damaged one.
int ReadShortcutRecord(ByteCursor& c, LinkItem& item);

// The user's shell folder of a link folder code 1 to 4, read once and kept,
// with a trailing backslash; 0 when it cannot be read.
int GetSpecialFolder(int code, char* out);

// The link through the shell's link object; its result.
HRESULT CreateShortcut(const char* target, const char* link, const char* description, const char* arguments,
                       const char* icon, int iconIndex);
