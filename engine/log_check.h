// What an install can have logged, for the elevated programs that undo a
// log: files below the folders an install writes to, whole keys an install
// may call its own, and an uninstaller beside its log. The uninstaller
// refuses a log with any other record before it changes anything; the
// rollback passes such a record over. Free of Windows.
#pragma once
#include "log_format.h"

enum { INSTALL_FOLDERS_MAX = 8 };

// The key of Windows' list of installed programs, below HKEY_LOCAL_MACHINE;
// each install makes an entry of its own below it.
extern const char UninstallKey[];

// The folders an install writes to, each ending in a backslash, the log's
// own folder first: the Windows and System folders and the user's shell
// folders that links go to follow. An empty one matches nothing.
struct InstallFolders {
    const char* paths[INSTALL_FOLDERS_MAX];
    int count;
};

// Whether text begins with prefix, ASCII letters in either case; walked by
// character. What follows the prefix, or null.
const char* BehindPrefix(const char* text, const char* prefix);

// Whether path names a file below one of the folders: every component
// behind the folder names something (none empty, none of dots and spaces
// alone, no drive or stream behind a colon; "/" counts as "\").
int PathIsInside(const char* path, const InstallFolders& folders);

// Whether a key below root may be made, and removed with everything below
// it, by an install: not empty, without empty components, not directly
// below its root (under HKEY_CLASSES_ROOT a class of its own is), and none
// of the keys Windows and every program share.
int KeyIsOwnable(uint16_t root, const char* key);

// Whether record number index of a log in folders.paths[0] is one an install
// writes: record 0 the uninstaller "QXUn<nnn>.uqx" beside the log, a file
// inside the folders, a value in any key, a whole key that is ownable. A
// kind the format does not define is passed (undoing skips it).
int RecordIsBelievable(const LogRecord& r, uint32_t index, const InstallFolders& folders);

// The first record of a log (OpenLogBytes) that no install writes or that is
// cut off, or -1 when there is none.
long FirstRefusedRecord(uint8_t* log, size_t size, const InstallFolders& folders);
