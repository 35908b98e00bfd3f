#include "other_logs.h"
#include "arguments.h"
#include "base/paths.h"
#include "engine/log_check.h"
#include "engine/log_undo.h"
#include <string.h>

namespace {

// What the logs name, as texts without case: "F" and a path, "V", a root,
// a key, "\1" and a value name, "K", a root and a key; every key ends in a
// backslash, and each key above a named one is named too.
enum { NAME_SIZE = 2 + PATH_SIZE + 1 + LOG_VALUE_NAME_MAX };

char** Names; // open addressing, a power of two long
DWORD NameSlots, NameCount;
int MemoryShort;

DWORD Hash(const char* name)
{
    DWORD h = 2166136261u;
    for (; *name; name++)
        h = (h ^ (uint8_t)*name) * 16777619u;
    return h;
}

char** SlotOf(char** table, DWORD slots, const char* name)
{
    DWORD i = Hash(name) & (slots - 1);
    while (table[i] && strcmp(table[i], name))
        i = (i + 1) & (slots - 1);
    return &table[i];
}

int Grow()
{
    const DWORD slots = NameSlots ? NameSlots * 2 : 1024;
    char** table = (char**)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, slots * sizeof(char*));
    if (!table)
        return 0;
    for (DWORD i = 0; i < NameSlots; i++)
        if (Names[i])
            *SlotOf(table, slots, Names[i]) = Names[i];
    if (Names)
        HeapFree(GetProcessHeap(), 0, Names);
    Names = table;
    NameSlots = slots;
    return 1;
}

void Add(const char* name)
{
    if ((NameCount + 1) * 2 > NameSlots && !Grow()) {
        MemoryShort = 1;
        return;
    }
    char** slot = SlotOf(Names, NameSlots, name);
    if (*slot)
        return;
    const size_t n = strlen(name) + 1;
    *slot = (char*)HeapAlloc(GetProcessHeap(), 0, n);
    if (!*slot) {
        MemoryShort = 1;
        return;
    }
    memcpy(*slot, name, n);
    NameCount++;
}

int Has(const char* name)
{
    return Names && *SlotOf(Names, NameSlots, name);
}

// Appends text in capitals, walked by the system's code page; 0 when it
// does not fit the name.
int PutFolded(char* name, const char* text)
{
    const size_t at = strlen(name), n = strlen(text);
    if (at + n >= NAME_SIZE)
        return 0;
    memcpy(name + at, text, n + 1);
    CharUpperBuffA(name + at, (DWORD)n);
    return 1;
}

// "K", the root and the key with its trailing backslash.
int KeyName(char* name, uint16_t root, const char* key)
{
    name[0] = 'K';
    name[1] = (char)('0' + root % 10);
    name[2] = 0;
    return PutFolded(name, key) && (EndsInBackslash(name) || PutFolded(name, "\\"));
}

int RecordName(char* name, const LogRecord& r)
{
    if (r.kind == LOG_FILE) {
        name[0] = 'F';
        name[1] = 0;
        return PutFolded(name, r.text);
    }
    if (!KeyName(name, r.root, r.text))
        return 0;
    if (r.flag)
        return 1;
    name[0] = 'V';
    return PutFolded(name, "\1") && PutFolded(name, r.valueName);
}

// A registry record names its key and every key above it.
void AddKeys(const LogRecord& r)
{
    char name[NAME_SIZE];
    if (!KeyName(name, r.root, r.text))
        return;
    for (char* p = name + 2; *p; p = (char*)NextChar(p)) {
        if (*p != '\\')
            continue;
        const char kept = p[1];
        p[1] = 0;
        Add(name);
        p[1] = kept;
    }
}

void AddRecords(uint8_t* log, size_t size)
{
    uint32_t count = 0;
    ByteCursor c;
    if (!LogIsWhole(log, size, &count) || !OpenLogBytes(log, size, &count, &c))
        return;
    LogRecord r;
    char name[NAME_SIZE];
    for (uint32_t i = 0; i < count && ReadLogRecord(c, r); i++) {
        if (r.kind == LOG_REGISTRY)
            AddKeys(r);
        if ((r.kind == LOG_FILE || r.kind == LOG_REGISTRY) && RecordName(name, r))
            Add(name);
    }
}

// Which file a path names, whatever its spelling.
int IdentifyFile(const char* path, BY_HANDLE_FILE_INFORMATION* info)
{
    HANDLE file = CreateFileA(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    const int known = GetFileInformationByHandle(file, info);
    CloseHandle(file);
    return known;
}

BY_HANDLE_FILE_INFORMATION OwnLog;

void AddLogAt(const char* path)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (strlen(path) >= PATH_SIZE || lstrcmpiA(LastChars(path, 4), ".uqx") || !IdentifyFile(path, &info) ||
        (info.dwVolumeSerialNumber == OwnLog.dwVolumeSerialNumber && info.nFileIndexHigh == OwnLog.nFileIndexHigh &&
         info.nFileIndexLow == OwnLog.nFileIndexLow))
        return;
    DWORD size = 0;
    uint8_t* log = ReadWholeLog(path, &size);
    if (!log)
        return;
    AddRecords(log, size);
    VirtualFree(log, 0, MEM_RELEASE);
}

// The logs the entries in Windows' list of installed programs start the
// uninstaller with: the last argument of their commands.
void AddEntryLogs()
{
    HKEY uninstall;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_READ, &uninstall) != ERROR_SUCCESS)
        return;
    char entry[256];
    for (DWORD i = 0; RegEnumKeyA(uninstall, i, entry, sizeof entry) == ERROR_SUCCESS; i++) {
        static char command[4096];
        ReadEntryCommand(uninstall, entry, command, sizeof command);
        char* arguments[MAX_ARGUMENTS];
        const int count = SplitArguments(command, arguments);
        if (count > 1)
            AddLogAt(arguments[count - 1]);
    }
    RegCloseKey(uninstall);
}

void AddLogsBeside(const char* logPath)
{
    char folder[PATH_SIZE], pattern[PATH_SIZE], path[PATH_SIZE];
    FolderOfPath(folder, logPath);
    WIN32_FIND_DATAA found;
    HANDLE search = JoinPath(pattern, folder, "QXUn*.uqx") ? FindFirstFileA(pattern, &found) : INVALID_HANDLE_VALUE;
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (JoinPath(path, folder, found.cFileName))
            AddLogAt(path);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

} // namespace

void ReadEntryCommand(HKEY parent, const char* entry, char* command, DWORD size)
{
    HKEY key;
    LONG read = RegOpenKeyExA(parent, entry, 0, KEY_QUERY_VALUE, &key);
    if (read == ERROR_SUCCESS) {
        size--;
        read = RegQueryValueExA(key, "UninstallString", NULL, NULL, (BYTE*)command, &size);
        RegCloseKey(key);
    }
    command[read == ERROR_SUCCESS ? size : 0] = 0;
}

int ReadOtherLogs(const char* logPath)
{
    if (!IdentifyFile(logPath, &OwnLog))
        return 0;
    AddEntryLogs();
    AddLogsBeside(logPath);
    return !MemoryShort;
}

int AnotherLogNames(const LogRecord& r)
{
    char name[NAME_SIZE];
    return RecordName(name, r) && Has(name);
}

int AnotherLogNamesKey(uint16_t root, const char* key)
{
    char name[NAME_SIZE];
    return KeyName(name, root, key) && Has(name);
}
