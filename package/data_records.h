// The data block's three sections, read from bytes: file records, shortcut
// records and registry records, each section a u16 count and its records.
// A record cut off by the end of the block, or with a field no reader can
// make sense of, reads as damaged.
#pragma once
#include "byte_cursor.h"

enum FileKind : uint8_t {
    FILE_REFERENCE = 1,   // a file beside the setup program
    FILE_README = 0x80,   // marker bit: the product's README
};

enum RootCode : uint8_t {
    ROOT_CLASSES = 0,
    ROOT_CURRENT_USER = 1,
    ROOT_LOCAL_MACHINE = 2,
    ROOT_USERS = 3,
    ROOT_CURRENT_CONFIG = 4,
};

enum LinkFolder : uint16_t {
    LINK_GROUP = 0,
    LINK_DESKTOP = 1,
    LINK_STARTUP = 2,
    LINK_SENDTO = 3,
    LINK_START_MENU = 4,
};

enum ValueKind : uint8_t { VALUE_NUMBER = 0, VALUE_STRING = 1 };

enum RegistryFlag : uint8_t { REGISTRY_STOP_ON_FAILURE = 0x01 };

// A file record's name is walked by character with the lead bytes of the
// shared LeadByteRanges: the setup program takes them from the system, a
// tool that reads a package sets those of the package's code page here
// (none for the single-byte ones).
void UseLeadBytesOf(uint16_t codePage);

// The section count: a signed 16-bit value; a negative one reads as damaged (-1).
int ReadSectionCount(ByteCursor& c);

struct FileRecord {
    uint8_t kind;             // FILE_README bit and the form
    int16_t root;             // 0 destination, 1 system, 2 Windows folder
    const char* relativeName; // begins with a backslash
    uint32_t attributes;      // carried form only, as are the following
    uint64_t created;
    uint64_t modified;
    uint32_t size;
    const uint8_t* body;
    const char* sourceName;   // reference form only
};

inline bool IsReference(const FileRecord& r) { return (r.kind & ~FILE_README) == FILE_REFERENCE; }

// 1 and the record, or 0 for a damaged one (cut off, unknown root, or a
// source name whose length is not the stored one).
// Also damaged: a name that would leave its folder, with a part that is
// empty (a second root, a trailing backslash) or dots alone, or a '/' or a
// ':' (a drive, a stream).
int ReadFileRecordBytes(ByteCursor& c, FileRecord& r);

struct ShortcutRecord {
    int16_t targetFolder;
    const char* target;
    const char* arguments;
    int16_t iconFolder;
    const char* icon;
    int16_t iconIndex;
    int16_t linkFolder;
    const char* linkName;
};

// 1 and the record, or 0 for a damaged one (cut off, or a folder code out of range).
int ReadShortcutRecordBytes(ByteCursor& c, ShortcutRecord& r);

// The icon name is used only with at least two characters: a lone backslash means none.
inline bool HasIcon(const ShortcutRecord& r) { return r.icon[0] && r.icon[1]; }

struct RegistryRecord {
    uint8_t root;
    uint8_t kind;
    uint32_t number;       // VALUE_NUMBER
    const uint8_t* data;   // any other kind: length bytes, for a string its NUL included
    uint16_t length;
    const char* key;
    const char* valueName; // empty: only the key is created
    uint8_t flags;
    const char* message;   // "" unless REGISTRY_STOP_ON_FAILURE
};

// 1 and the record, or 0 when it is cut off. Root and kind are not judged here.
int ReadRegistryRecordBytes(ByteCursor& c, RegistryRecord& r);
