// The writing direction of the package format, for the package builder and
// the tests: settings records, string table, payload and trailer. A writer
// that returns false refused what its reader would get back differently (a
// length its field cannot hold, a 0 byte inside a text, an empty item) and
// wrote nothing.
#pragma once
#include "data_records.h"
#include "settings_records.h"
#include "stream_encoder.h"
#include "trailer.h"
#include "unpack.h"
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

void PutU8(Bytes& out, uint8_t v);
void PutU16(Bytes& out, uint16_t v);
void PutU32(Bytes& out, uint32_t v);
void PutBytes(Bytes& out, const void* bytes, size_t size);
// A 16-bit length that counts the text and its terminator, then both.
bool PutCountedText(Bytes& out, const std::string& text);

bool PutStringTable(Bytes& out, const std::vector<std::string>& texts);

// A picture or sound: none, a file beside the setup executable, or embedded bytes.
struct ItemData {
    ItemForm form = ITEM_NONE;
    std::string name;
    Bytes data;
};

// An item's length of 0 means none: an embedded item needs bytes, an
// external one a name.
bool PutSoundRecord(Bytes& out, const ItemData& sound, uint16_t playMode);
void PutAppearanceRecord(Bytes& out, const Appearance& a);
bool PutSheetRecord(Bytes& out, const ItemData& picture, int16_t backReference);
void PutBannerHead(Bytes& out, int16_t count, uint16_t atStart);
bool PutBannerRecord(Bytes& out, const ItemData& picture, const int32_t placement[4]);

struct CommandData {
    bool present = false;
    int16_t folder = 0;
    std::string path;
    std::string arguments;
    uint32_t expectedExitCode = 0;
    uint8_t flags = 0;
    std::string message;
};

bool PutCommandRecord(Bytes& out, CommandVariant variant, const CommandData& command);

struct FileEntry {
    uint8_t kind = 0; // FILE_README bit and the form
    int16_t root = 0;
    std::string relativeName; // with its leading backslash
    uint32_t attributes = 0;
    uint64_t created = 0;
    uint64_t modified = 0;
    Bytes body;
    std::string sourceName; // reference form
};

bool PutFileRecord(Bytes& out, const FileEntry& file);

struct ShortcutEntry {
    int16_t targetFolder = 0;
    std::string target;
    std::string arguments;
    int16_t iconFolder = 0;
    std::string icon;
    int16_t iconIndex = 0;
    int16_t linkFolder = LINK_GROUP;
    std::string linkName;
};

bool PutShortcutRecord(Bytes& out, const ShortcutEntry& shortcut);

struct RegistryEntry {
    uint8_t root = ROOT_CURRENT_USER;
    uint8_t kind = VALUE_STRING;
    uint32_t number = 0;
    Bytes data; // any kind but a number; a string with its NUL
    std::string key;
    std::string valueName;
    uint8_t flags = 0;
    std::string message;
};

bool PutRegistryRecord(Bytes& out, const RegistryEntry& value);

// How the payload is packed: its method (the header's version) and, for the
// package's own LZ77 variant, the stream parameters.
struct PackMethod {
    uint8_t version = PACK_VERSION;
    StreamParameters stream = {2048, 255};
    CompressionLevel level = COMPRESS_BEST;
};

// Header and stream of the unpacked bytes; false for a window N beyond the
// reach of a match offset (65535), more bytes than the header's 32-bit size
// counts, an unknown method, or an encoder out of memory.
bool PackPayload(const Bytes& unpacked, const PackMethod& method, Bytes& payload,
                 const EncodeProgress* progress = nullptr, uint16_t codePage = 1252);

struct PackageParts {
    Bytes script;
    Bytes data;
    uint8_t flags = TRAILER_GROUP_STEP;
    uint32_t fileSectionLength = 0;
    uint32_t spaceRequired = 0;
    PackMethod method;
    uint16_t codePage = 1252; // of the texts
};

// Appends payload and trailer to a program image, with up to 7 zeros before
// the payload that make the whole a multiple of 8 bytes long; false when
// PackPayload refuses or the program would pass the 4 GB its trailer's
// offsets reach. The trailer written goes into written when given.
bool AppendPackage(Bytes& executable, const PackageParts& package, const EncodeProgress* progress = nullptr,
                   PackageTrailer* written = nullptr);
