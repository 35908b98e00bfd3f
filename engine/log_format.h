// The bytes of the install log, which the separate uninstaller reads too: a
// header with the texts and commands of the removal, then one record per
// change the install made, oldest first. Free of Windows.
#pragma once
#include "package/byte_cursor.h"
#include "package/trailer.h"

enum LogHeaderFlag : uint8_t {
    LOG_HAS_UNINSTALL_1 = 0x01,
    LOG_HAS_UNINSTALL_2 = 0x02,
    LOG_ASKS_RESTART = 0x04,
    LOG_ASKS_LOGOFF = 0x08,
    LOG_UNINSTALL_2_FLAG = 0x80,
};

enum LogRecordKind : uint8_t { LOG_FILE = 0, LOG_REGISTRY = 1 };

enum {
    LOG_COUNT_OFFSET = 1,
    LOG_HEADER_FIXED = 7,       // flags, count, H
    LOG_HEADER_MAX = 32767,     // H is read as a signed 16-bit value
    LOG_PATH_MAX = 260,         // path fields, terminator included
    LOG_VALUE_NAME_MAX = 200,   // value-name fields, terminator included
    LOG_RECORD_MAX = 8 + LOG_VALUE_NAME_MAX + LOG_PATH_MAX,
    // More than any install writes: its files, links and values, a new key
    // for each value, and the entry, each in the longest record.
    LOG_SIZE_MAX = 64 << 20,
};

struct LogRecord {
    uint8_t kind;          // LOG_FILE or LOG_REGISTRY
    uint8_t flag;          // file: 1 removes its folder when empty; registry: 1 is a whole key
    const char* text;      // file path or key path
    uint16_t root;         // registry only, a RootCode
    const char* valueName; // registry only
};

struct UninstallCommand {
    int present;
    const char* path;
    const char* arguments;
    uint8_t flags;
    const char* message; // the first command's only
};

struct LogHeader {
    const char* product;        // string slot 3
    const char* question;       // slots 47, 48, 49
    const char* success;
    const char* partial;
    uint16_t restartMode;       // the uninstall's RestartModeValue
    const char* sessionQuestion; // asked when restartMode is RESTART_REBOOT or RESTART_LOGOFF
    UninstallCommand first, second;
};

// The flags, a count of 0, H and the header block into out; its length, or 0
// when it does not fit capacity or H would pass LOG_HEADER_MAX.
size_t BuildLogHeader(uint8_t* out, size_t capacity, const LogHeader& h);

// One record into out (LOG_RECORD_MAX bytes); its length, or 0 when a field
// passes its bound.
size_t BuildLogRecord(uint8_t* out, const LogRecord& r);

// The header's flags, texts and commands, the texts terminated inside the
// header block; 0 when the block is cut off or an item does not end inside
// it. The product's title is read from the window title, whose English
// ending is cut off.
int ReadLogHeader(uint8_t* log, size_t size, LogHeader& h, uint8_t* flags);
// Reading a whole log: the count and the cursor at the first record, or 0
// when the fixed part or the header block is cut off.
int OpenLogBytes(uint8_t* log, size_t size, uint32_t* count, ByteCursor* records);
// The next record, its texts terminated inside the log; 0 when it is cut off
// or a length passes its bound, which ends the reading.
int ReadLogRecord(ByteCursor& c, LogRecord& r);

// Whether the log holds its header and the records its count names, the
// uninstaller's at least, and behind them no more than one record, which an
// install cut off between a record and its count leaves (nothing reads it):
// the test the uninstaller makes before it changes anything. Terminates the
// texts inside the log, as reading does; the count is returned.
int LogIsWhole(uint8_t* log, size_t size, uint32_t* count);
