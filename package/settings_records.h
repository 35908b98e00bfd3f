// The settings records that follow the string table, parsed from bytes. Each
// reader consumes exactly one record at the cursor. A record cut off by the end
// of the block, or with a length that cannot be right, reads as a record
// without picture, sound or command, and the cursor stays at the block's end.
#pragma once
#include "byte_cursor.h"

enum ItemForm : uint8_t {
    ITEM_NONE = 0,
    ITEM_EXTERNAL = 1, // a file beside the setup executable; bytes is its name
    ITEM_EMBEDDED = 2, // the file's bytes are in the record
};

struct ItemSource {
    uint8_t form;
    const uint8_t* bytes; // NUL-terminated name for ITEM_EXTERNAL
    uint32_t size;        // name length or file size
};

struct SoundRecord {
    ItemSource source;
    uint16_t playMode;
};

enum BackgroundStyleValue : uint16_t { STYLE_SOLID = 0, STYLE_BLUE = 1, STYLE_GREEN = 2 };

struct Appearance {
    uint32_t TitleColour;
    uint32_t ShadowColour;
    uint16_t BackgroundStyle;
    uint8_t red, green, blue;
};

struct SheetRecord {
    ItemSource source;
    int16_t backReference; // for ITEM_NONE: 0 no picture, K shares sheet i - K's
};

struct BannerHead {
    int16_t count;
    uint8_t atStart;
};

struct BannerRecord {
    ItemSource source;
    int32_t placement[4]; // left, top, right, bottom in percent
};

enum CommandVariant { COMMAND_UNINSTALL_1, COMMAND_UNINSTALL_2, COMMAND_INSTALL };

enum CommandFlag : uint8_t {
    COMMAND_ABORT_ON_FAILURE = 0x01,
    COMMAND_HAS_MESSAGE = 0x02,
    COMMAND_NO_WAIT = 0x80,
};

enum { COMMAND_ABSENT = 0xFF };

// The one flag of the second uninstall command, passed on to the install log.
enum { UNINSTALL_2_LOG_FLAG = 0x80 };

struct CommandRecord {
    uint8_t present;
    int16_t folder;
    const char* path;      // relative to the folder of `folder`, or as it stands
    const char* arguments;
    uint32_t expectedExitCode; // install commands only
    uint8_t flags;
    const char* message;   // "" unless flags has COMMAND_HAS_MESSAGE
};

// The look of a package that sets none: a white title on solid blue. A
// constant, so that the globals it starts are set before the program runs.
constexpr Appearance DefaultAppearance()
{
    return Appearance{0x00FFFFFF, 0x00000000, STYLE_SOLID, 0, 0, 255};
}

SoundRecord ReadSoundRecord(ByteCursor& c);
void ReadAppearanceRecord(ByteCursor& c, Appearance& a);
SheetRecord ReadSheetRecord(ByteCursor& c);
BannerHead ReadBannerHead(ByteCursor& c);
BannerRecord ReadBannerRecord(ByteCursor& c);
// The banner list head and, for any count but 0, the first banner record:
// 1 when that record was read. A negative count announces banners too, since
// the program tests the count only for none.
int ReadBannerList(ByteCursor& c, BannerHead& head, BannerRecord& first);
// The banner records that follow the commands: one for each banner after the
// first.
int FurtherBannerRecords(const BannerHead& head);
CommandRecord ReadCommandRecord(ByteCursor& c, CommandVariant variant);
