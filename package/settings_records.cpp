#include "settings_records.h"

// Marks the rest of the block unreadable: after a record whose lengths cannot
// be trusted there is no telling where the next record starts.
static void Abandon(ByteCursor& c)
{
    c.pos = c.end;
    c.overrun = 1;
}

// A signed 16-bit length with the text it counts, terminator included.
static const char* TakeCountedText(ByteCursor& c)
{
    const int16_t length = (int16_t)TakeU16(c);
    if (length < 0) {
        Abandon(c);
        return "";
    }
    return TakeText(c, (size_t)length);
}

// The item that follows a nonzero signed length: a name of -length bytes and
// its terminator, or length bytes of file data.
static ItemSource TakeItem(ByteCursor& c, int32_t length)
{
    ItemSource item = {ITEM_NONE, nullptr, 0};
    if (length < 0) {
        const uint32_t nameLength = 0u - (uint32_t)length;
        item.bytes = (const uint8_t*)TakeText(c, (size_t)nameLength + 1);
        item.size = nameLength;
        item.form = ITEM_EXTERNAL;
    } else if (length > 0) {
        item.bytes = TakeBytes(c, (size_t)length);
        item.size = (uint32_t)length;
        item.form = ITEM_EMBEDDED;
    }
    return item;
}

static const ItemSource NoItem = {ITEM_NONE, nullptr, 0};

SoundRecord ReadSoundRecord(ByteCursor& c)
{
    SoundRecord r = {NoItem, 0};
    const int32_t length = (int32_t)TakeU32(c);
    if (length == 0)
        return r;
    r.playMode = TakeU16(c);
    r.source = TakeItem(c, length);
    if (c.overrun)
        r = SoundRecord{NoItem, 0};
    return r;
}

void ReadAppearanceRecord(ByteCursor& c, Appearance& a)
{
    const uint32_t title = TakeU32(c);
    const uint32_t shadow = TakeU32(c);
    const uint16_t style = TakeU16(c);
    if (c.overrun)
        return;
    a.TitleColour = title;
    a.ShadowColour = shadow;
    a.BackgroundStyle = style;
    if (style != STYLE_SOLID)
        return;
    const uint8_t* rgb = TakeBytes(c, 3);
    if (!rgb)
        return;
    a.red = rgb[0];
    a.green = rgb[1];
    a.blue = rgb[2];
}

SheetRecord ReadSheetRecord(ByteCursor& c)
{
    SheetRecord r = {NoItem, 0};
    const int32_t length = (int32_t)TakeU32(c);
    if (length == 0)
        r.backReference = (int16_t)TakeU16(c);
    else
        r.source = TakeItem(c, length);
    if (c.overrun)
        r = SheetRecord{NoItem, 0};
    return r;
}

BannerHead ReadBannerHead(ByteCursor& c)
{
    BannerHead h = {0, 0};
    h.count = (int16_t)TakeU16(c);
    if (h.count != 0)
        h.atStart = TakeU16(c) != 0;
    if (c.overrun)
        h = BannerHead{0, 0};
    return h;
}

BannerRecord ReadBannerRecord(ByteCursor& c)
{
    BannerRecord r = {NoItem, {0, 0, 0, 0}};
    const int32_t length = (int32_t)TakeU32(c);
    if (length == 0)
        return r;
    r.source = TakeItem(c, length);
    for (int32_t& p : r.placement)
        p = (int32_t)TakeU32(c);
    if (c.overrun)
        r = BannerRecord{NoItem, {0, 0, 0, 0}};
    return r;
}

int ReadBannerList(ByteCursor& c, BannerHead& head, BannerRecord& first)
{
    head = ReadBannerHead(c);
    if (head.count == 0)
        return 0;
    first = ReadBannerRecord(c);
    return 1;
}

int FurtherBannerRecords(const BannerHead& head)
{
    return head.count > 1 ? head.count - 1 : 0;
}

CommandRecord ReadCommandRecord(ByteCursor& c, CommandVariant variant)
{
    const CommandRecord absent = {0, 0, "", "", 0, 0, ""};
    if (TakeU8(c) == COMMAND_ABSENT || c.overrun)
        return absent;
    CommandRecord r = absent;
    r.present = 1;
    r.folder = (int16_t)TakeU16(c);
    r.path = TakeCountedText(c);
    r.arguments = TakeCountedText(c);
    if (variant == COMMAND_INSTALL)
        r.expectedExitCode = TakeU32(c);
    r.flags = TakeU8(c);
    if (variant != COMMAND_UNINSTALL_2 && (r.flags & COMMAND_HAS_MESSAGE))
        r.message = TakeCountedText(c);
    return c.overrun ? absent : r;
}
