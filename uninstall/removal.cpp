#include "removal.h"
#include "app/paths.h"
#include "engine/log_undo.h"
#include "package/data_records.h"
#include "progress_window.h"
#include <string.h>

namespace {

const char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The uninstaller and the entry that starts it stay while anything else does.
int StartsRemoval(const Removal& r, uint32_t i)
{
    const LogRecord& record = r.records[i];
    return i == 0 || (record.kind == LOG_REGISTRY && record.flag == 1 && record.root == ROOT_LOCAL_MACHINE &&
                      strncmp(record.text, UninstallKey, sizeof UninstallKey - 1) == 0);
}

int RegistryStays(const LogRecord& record)
{
    HKEY key;
    if (RegOpenKeyExA(RootKeyOf(record.root), record.text, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    const int stays = record.flag == 1 || RegQueryValueExA(key, record.valueName, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
    RegCloseKey(key);
    return stays;
}

// 1 when the change is gone, or was gone already.
int Undo(const LogRecord& record)
{
    if (record.kind == LOG_FILE)
        return DeleteLoggedFile(record.text, record.flag) || GetFileAttributesA(record.text) == INVALID_FILE_ATTRIBUTES;
    return !RootKeyOf(record.root) || DeleteLoggedRegistry(record.text, record.valueName, record.flag, record.root) ||
           !RegistryStays(record);
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
        if (!Undo(record))
            NoteStayed(r, record.text);
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

void RemoveLoggedChanges(Removal& r)
{
    uint32_t done = 0;
    RemoveNewestFirst(r, 0, &done);
    if (!r.anyStayed)
        RemoveNewestFirst(r, 1, &done);
}
