#include "removal.h"
#include "base/paths.h"
#include "engine/log_check.h"
#include "engine/log_undo.h"
#include "other_logs.h"
#include "package/data_records.h"
#include "progress_window.h"
#include <string.h>

namespace {

// The uninstaller and the entry that starts it stay while anything else does.
int StartsRemoval(const Removal& r, uint32_t i)
{
    const LogRecord& record = r.records[i];
    return i == 0 || (record.kind == LOG_REGISTRY && record.flag == 1 && record.root == ROOT_LOCAL_MACHINE &&
                      BehindPrefix(record.text, UninstallKey));
}

// Whether the entry's command hands the uninstaller this log: then the entry
// is this install's and goes whole, with the values the list of installed
// programs reads.
int IsOwnEntry(const Removal& r, const LogRecord& record)
{
    static char command[4096], log[PATH_SIZE];
    ReadEntryCommand(HKEY_LOCAL_MACHINE, record.text, command, sizeof command);
    lstrcpynA(log, r.logPath, PATH_SIZE);
    CharUpperA(command);
    CharUpperA(log);
    return strstr(command, log) != nullptr;
}

int IsEmptyKey(HKEY key)
{
    DWORD keys = 1, values = 1;
    return RegQueryInfoKeyA(key, NULL, NULL, NULL, &keys, NULL, NULL, &values, NULL, NULL, NULL, NULL) ==
               ERROR_SUCCESS &&
           !keys && !values;
}

enum KeyState { KEY_FAILED, KEY_HOLDS_VALUES, KEY_GONE };

// Removes the empty keys below a key, then the key when it is left empty: a
// value anywhere below it is what something else wrote, and keeps it.
KeyState RemoveEmptyKeyTree(HKEY parent, const char* name, int depth)
{
    HKEY key;
    const LONG opened = RegOpenKeyExA(parent, name, 0, KEY_READ, &key);
    if (opened != ERROR_SUCCESS)
        return opened == ERROR_FILE_NOT_FOUND ? KEY_GONE : KEY_FAILED;
    int failed = 0;
    char sub[256];
    for (DWORD i = 0; depth < 32 && RegEnumKeyA(key, i, sub, sizeof sub) == ERROR_SUCCESS;) {
        const KeyState state = RemoveEmptyKeyTree(key, sub, depth + 1);
        failed |= state == KEY_FAILED;
        i += state != KEY_GONE;
    }
    const int empty = IsEmptyKey(key);
    RegCloseKey(key);
    if (empty)
        return RegDeleteKeyA(parent, name) == ERROR_SUCCESS ? KEY_GONE : KEY_FAILED;
    return failed ? KEY_FAILED : KEY_HOLDS_VALUES;
}

// The key of a removed value and the keys above it, as long as each is
// empty, one an install may own, and named by no other log.
void RemoveEmptyKeysAbove(uint16_t root, const char* keyPath)
{
    char key[PATH_SIZE];
    if (!JoinPath(key, keyPath, ""))
        return;
    HKEY base = RootKeyOf(root);
    for (;;) {
        if (EndsInBackslash(key))
            key[strlen(key) - 1] = 0;
        if (!KeyIsOwnable(root, key) || AnotherLogNamesKey(root, key) || RemoveEmptyKeyTree(base, key, 32) != KEY_GONE)
            return;
        const char* cut = LastBackslash(key);
        key[cut ? cut - key : 0] = 0;
    }
}

int ValueStays(const LogRecord& record)
{
    HKEY key;
    if (RegOpenKeyExA(RootKeyOf(record.root), record.text, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    const int stays = RegQueryValueExA(key, record.valueName, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
    RegCloseKey(key);
    return stays;
}

int RemoveRegistry(const Removal& r, const LogRecord& record)
{
    if (!RootKeyOf(record.root))
        return 1;
    if (record.flag && StartsRemoval(r, (uint32_t)(&record - r.records)) && IsOwnEntry(r, record))
        return DeleteLoggedRegistry(record.text, "?", 1, record.root) ||
               RemoveEmptyKeyTree(RootKeyOf(record.root), record.text, 0) == KEY_GONE;
    if (AnotherLogNames(record))
        return 1;
    if (record.flag)
        return RemoveEmptyKeyTree(RootKeyOf(record.root), record.text, 0) != KEY_FAILED;
    const int gone = DeleteLoggedRegistry(record.text, record.valueName, 0, record.root) || !ValueStays(record);
    RemoveEmptyKeysAbove(record.root, record.text);
    return gone;
}

int IsOwnImage(const char* path)
{
    char self[PATH_SIZE];
    const DWORD n = GetModuleFileNameA(NULL, self, PATH_SIZE);
    return n && n < PATH_SIZE && !lstrcmpiA(self, path);
}

// The uninstaller copy that runs this removal goes when Windows next starts.
int RemoveFile(Removal& r, const LogRecord& record)
{
    if (AnotherLogNames(record))
        return 1;
    if (DeleteLoggedFile(record.text, record.flag, r.logPath))
        return 1;
    if (&record != r.records || !IsOwnImage(record.text))
        return 0;
    r.ownCopyLater = MoveFileExA(record.text, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    return r.ownCopyLater;
}

// 1 when the change is gone, was gone already, or is another install's too.
// A kind the format does not define names nothing to undo.
int Undo(Removal& r, const LogRecord& record)
{
    if (record.kind == LOG_FILE)
        return RemoveFile(r, record);
    return record.kind != LOG_REGISTRY || RemoveRegistry(r, record);
}

void NoteStayed(Removal& r, const char* text)
{
    r.anyStayed = 1;
    if (!AppendText(r.stayed, STAYED_SIZE, text) || !AppendText(r.stayed, STAYED_SIZE, "\n"))
        AppendText(r.stayed, STAYED_SIZE, "...\n");
}

void RemoveNewestFirst(Removal& r, int closing, uint32_t* done)
{
    for (uint32_t i = r.count; i-- > 0;) {
        if (StartsRemoval(r, i) != closing)
            continue;
        const LogRecord& record = r.records[i];
        ShowProgress(r.window, record.text, ++*done * 100 / r.count);
        if (!Undo(r, record))
            NoteStayed(r, record.text);
    }
}

// The folders from a file's up to the log's, the log's not included, as long
// as each is empty.
void RemoveEmptyFoldersUpTo(const char* path, const char* top)
{
    char folder[PATH_SIZE];
    FolderOfPath(folder, path);
    for (const char* below = BehindPrefix(folder, top); below && below[0]; below = BehindPrefix(folder, top)) {
        if (!RemoveDirectoryA(folder) && GetLastError() != ERROR_FILE_NOT_FOUND &&
            GetLastError() != ERROR_PATH_NOT_FOUND)
            return;
        folder[strlen(folder) - 1] = 0;
        CutToFolder(folder);
    }
}

} // namespace

int ReadRemovalRecords(uint8_t* log, size_t size, Removal& r)
{
    ByteCursor c;
    if (!OpenLogBytes(log, size, &r.count, &c))
        return 0;
    r.records = (LogRecord*)VirtualAlloc(NULL, r.count * sizeof(LogRecord), MEM_COMMIT, PAGE_READWRITE);
    if (!r.records)
        return 0;
    for (uint32_t i = 0; i < r.count; i++)
        ReadLogRecord(c, r.records[i]);
    return 1;
}

int IsInstalledFileGone(const Removal& r, const char* path)
{
    for (uint32_t i = 1; i < r.count; i++)
        if (r.records[i].kind == LOG_FILE && !lstrcmpiA(r.records[i].text, path))
            return GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES;
    return 0;
}

void RemoveLoggedChanges(Removal& r)
{
    uint32_t done = 0;
    RemoveNewestFirst(r, 0, &done);
    char top[PATH_SIZE];
    FolderOfPath(top, r.logPath);
    for (uint32_t i = r.count; i-- > 1;)
        if (r.records[i].kind == LOG_FILE)
            RemoveEmptyFoldersUpTo(r.records[i].text, top);
    if (!r.anyStayed)
        RemoveNewestFirst(r, 1, &done);
}
