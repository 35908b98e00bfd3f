#include "install_log.h"
#include "base/shared.h"
#include "file_records.h"
#include "made_folders.h"
#include "older_copies.h"
#include "older_values.h"
#include "package/load_package.h"
#include "package/settings_readers.h"
#include "package/shared.h"
#include "package/string_table.h"
#include "rollback.h"
#include "staging_folder.h"
#include <string.h>

namespace {

HANDLE LogFile = INVALID_HANDLE_VALUE;
char LogPath[PATH_SIZE];
char UninstallerPath[PATH_SIZE];
uint32_t RecordCount;
// Where the next record goes, and the size of the last one.
DWORD LogEnd, LastRecordSize;
// The records as written, kept by the worker itself: the rollback replays
// these, not the file, which others may write to while the install runs.
uint8_t* Recorded;
size_t RecordedSize;

// The header may be as long as its signed length allows; kept out of the
// worker's stack.
uint8_t HeaderBytes[LOG_HEADER_FIXED + LOG_HEADER_MAX];

int WriteAll(const void* bytes, DWORD size)
{
    DWORD written = 0;
    return WriteFile(LogFile, bytes, size, &written, NULL) && written == size;
}

// Records go at the end and the count to its place. A seek and a write
// cost a tenth of a write at a given offset under Wine.
int WriteAllAt(DWORD offset, const void* bytes, DWORD size)
{
    return SetFilePointer(LogFile, (LONG)offset, NULL, FILE_BEGIN) == offset && WriteAll(bytes, size);
}

int WriteCount()
{
    uint8_t count[4];
    StoreU32(count, RecordCount);
    return WriteAllAt(LOG_COUNT_OFFSET, count, sizeof count);
}

// The first name "QXUn<nnn>.uqx" in the folder that no file has yet.
int FindFreeName(const char* folder, char* path)
{
    char prefix[PATH_SIZE] = "";
    if (!AppendText(prefix, PATH_SIZE, folder) || (!EndsInBackslash(prefix) && !AppendText(prefix, PATH_SIZE, "\\")))
        return 0;
    for (int i = 0; i < 1000; i++) {
        char name[16];
        wsprintfA(name, "QXUn%.3d.uqx", i);
        if (!JoinPath(path, prefix, name))
            return 0;
        HANDLE existing = CreateFileA(path, 0, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        if (existing == INVALID_HANDLE_VALUE)
            return 1;
        CloseHandle(existing);
    }
    return 0;
}

// Others may read the log while the install runs: its count is current.
HANDLE CreateHidden(const char* path)
{
    return CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE, NULL);
}

// The uninstaller, file record 0, into the first free name; it is written
// into the hidden file that reserves the name.
int PlaceUninstaller(const char* folder)
{
    InstallItem item;
    if (!FindFreeName(folder, UninstallerPath) || !ReadFileRecord(item) || item.sourcePath[0])
        return 0;
    LogFile = CreateHidden(UninstallerPath);
    if (LogFile == INVALID_HANDLE_VALUE)
        return 0;
    const int written = WriteAll(item.body, item.size);
    CloseHandle(LogFile);
    LogFile = INVALID_HANDLE_VALUE;
    if (!written)
        DeleteFileA(UninstallerPath);
    return written;
}

// The removal's texts and commands, read from the settings records that
// follow the sheets and banners.
size_t BuildHeader()
{
    static char firstPath[PATH_SIZE], secondPath[PATH_SIZE];
    LogHeader h = {};
    h.product = SetupString(SLOT_PRODUCT_TITLE);
    h.question = SetupString(SLOT_UNINSTALL_QUESTION);
    h.success = SetupString(SLOT_UNINSTALL_SUCCESS);
    h.partial = SetupString(SLOT_UNINSTALL_PARTIAL);
    h.restartMode = Package.settings.UninstallRestartMode;
    h.sessionQuestion =
        SetupString(h.restartMode == RESTART_LOGOFF ? SLOT_UNINSTALL_LOGOFF_QUESTION : SLOT_UNINSTALL_RESTART_QUESTION);
    h.first.path = firstPath;
    h.first.present = ReadUninstallCommand1(firstPath, &h.first.arguments, &h.first.flags, &h.first.message);
    h.second.path = secondPath;
    h.second.present = ReadUninstallCommand2(secondPath, &h.second.arguments, &h.second.flags);
    return BuildLogHeader(HeaderBytes, sizeof HeaderBytes, h);
}

void CloseLog()
{
    if (LogFile != INVALID_HANDLE_VALUE)
        CloseHandle(LogFile);
    LogFile = INVALID_HANDLE_VALUE;
}

void DeleteLog()
{
    CloseLog();
    DeleteFileA(LogPath);
    LogPath[0] = 0;
}

// The records are kept in one reservation as long as the largest log, its
// pages committed as they fill.
int Remember(const uint8_t* bytes, size_t size)
{
    if (!Recorded)
        Recorded = (uint8_t*)VirtualAlloc(NULL, LOG_SIZE_MAX, MEM_RESERVE, PAGE_READWRITE);
    if (!Recorded || size > LOG_SIZE_MAX - RecordedSize ||
        !VirtualAlloc(Recorded + RecordedSize, size, MEM_COMMIT, PAGE_READWRITE))
        return 0;
    memcpy(Recorded + RecordedSize, bytes, size);
    RecordedSize += size;
    return 1;
}

} // namespace

// The count follows every record, so that a log whose install was cut off
// (a kill, a crash, a power cut) names what was done up to that moment; a
// record cut off itself lies behind the count. A record that did not reach
// the file or memory is undone by the caller; the log is closed, and the
// rollback replays what was recorded before it.
int AppendToInstallLog(const LogRecord& r)
{
    uint8_t bytes[LOG_RECORD_MAX];
    const size_t size = BuildLogRecord(bytes, r);
    if (LogFile == INVALID_HANDLE_VALUE || !size)
        return 0;
    RecordCount++;
    if (WriteAllAt(LogEnd, bytes, (DWORD)size) && WriteCount() && Remember(bytes, size)) {
        LogEnd += LastRecordSize = (DWORD)size;
        return 1;
    }
    CloseLog();
    return 0;
}

// The count goes back first: a log cut off between the two steps holds the
// withdrawn record behind its count, where nothing reads it.
void WithdrawLastLogRecord()
{
    if (LogFile == INVALID_HANDLE_VALUE || !LastRecordSize)
        return;
    RecordCount--;
    RecordedSize -= LastRecordSize;
    LogEnd -= LastRecordSize;
    LastRecordSize = 0;
    WriteCount();
    if (SetFilePointer(LogFile, (LONG)LogEnd, NULL, FILE_BEGIN) == LogEnd)
        SetEndOfFile(LogFile);
}

// A log that cannot be made leaves nothing: neither itself nor the
// uninstaller beside it, and no other install's log is touched.
int OpenInstallLog(const char* folder)
{
    RecordCount = 0;
    LogPath[0] = 0;
    RecordedSize = 0;
    if (!PlaceUninstaller(folder))
        return 0;
    if (FindFreeName(folder, LogPath))
        LogFile = CreateHidden(LogPath);
    if (LogFile != INVALID_HANDLE_VALUE) {
        const size_t header = BuildHeader();
        LogEnd = (DWORD)header;
        LastRecordSize = 0;
        if (header && WriteAll(HeaderBytes, (DWORD)header) &&
            AppendToInstallLog(LogRecord{LOG_FILE, 1, UninstallerPath, 0, nullptr}))
            return 1;
        DeleteLog();
    }
    LogPath[0] = 0;
    DeleteFileA(UninstallerPath);
    return 0;
}

const char* UninstallerCopyPath()
{
    return UninstallerPath;
}

const char* InstallLogPath()
{
    return LogPath;
}

void FinishInstallLog()
{
    LeaveStagingFolder();
    CloseLog();
    RecordedSize = 0;
    DropOlderCopies();
    ReleaseOlderValues(0);
}

void RollBackInstallLog()
{
    LeaveStagingFolder();
    CloseLog();
    if (LogPath[0])
        ReplayLog(Recorded, RecordedSize, LogPath);
    LogPath[0] = 0;
    RecordedSize = 0;
    ForgetOlderCopies();
    RemoveMadeFolders();
    ReleaseOlderValues(1);
    // The folders made on the way may have kept the destination folder,
    // which the install made too, from going with the log.
    RemoveDirectoryA(DestinationPath);
}
