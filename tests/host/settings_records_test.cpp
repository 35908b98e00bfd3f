#include "driver/typical_package.h"
#include "package/package_writer.h"
#include <gtest/gtest.h>
#include <functional>

namespace {

// Bytes on the heap at exactly their size, so that a read past them is caught.
struct Block {
    Bytes bytes;
    ByteCursor cursor;
    explicit Block(Bytes b) : bytes(std::move(b)), cursor(CursorOver(bytes.data(), bytes.size())) {}
    size_t Consumed() const { return (size_t)(cursor.pos - bytes.data()); }
};

ItemData External(const std::string& name)
{
    ItemData item;
    item.form = ITEM_EXTERNAL;
    item.name = name;
    return item;
}

ItemData Embedded(Bytes data)
{
    ItemData item;
    item.form = ITEM_EMBEDDED;
    item.data = std::move(data);
    return item;
}

} // namespace

TEST(SettingsRecords, TypicalBlockOf170BytesEndsWithTheLastCommand)
{
    Block b(TypicalSettings());
    ASSERT_EQ(b.bytes.size(), 170u);
    EXPECT_EQ(ReadSoundRecord(b.cursor).source.form, ITEM_NONE);
    Appearance look = DefaultAppearance();
    ReadAppearanceRecord(b.cursor, look);
    EXPECT_EQ(look.BackgroundStyle, STYLE_BLUE);
    EXPECT_EQ(look.TitleColour, 0x00FFFFFFu);
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(ReadSheetRecord(b.cursor).source.form, ITEM_NONE);
    EXPECT_EQ(ReadBannerHead(b.cursor).count, 0);
    EXPECT_STREQ(ReadCommandRecord(b.cursor, COMMAND_UNINSTALL_1).arguments, "/uninstall /quiet");
    EXPECT_STREQ(ReadCommandRecord(b.cursor, COMMAND_UNINSTALL_2).arguments, "/cleanup");
    EXPECT_STREQ(ReadCommandRecord(b.cursor, COMMAND_INSTALL).arguments, "/register");
    const CommandRecord last = ReadCommandRecord(b.cursor, COMMAND_INSTALL);
    EXPECT_EQ(last.present, 1);
    EXPECT_STREQ(last.path, "\\Demo.exe");
    EXPECT_STREQ(last.arguments, "/after-setup");
    EXPECT_EQ(b.Consumed(), 170u);
    EXPECT_FALSE(b.cursor.overrun);
}

TEST(SettingsRecords, ExternalSoundNamedBesideTheSetupProgram)
{
    Bytes s;
    PutSoundRecord(s, External("music.wav"), 1);
    PutU8(s, 0x77);
    Block b(s);
    const SoundRecord r = ReadSoundRecord(b.cursor);
    EXPECT_EQ(LoadU32(b.bytes.data()), (uint32_t)-9);
    EXPECT_EQ(r.source.form, ITEM_EXTERNAL);
    EXPECT_STREQ((const char*)r.source.bytes, "music.wav");
    EXPECT_EQ(r.playMode, 1);
    EXPECT_EQ(b.Consumed(), 4u + 2 + 10);
}

TEST(SettingsRecords, EmbeddedSoundCarriesItsBytes)
{
    Bytes s;
    PutSoundRecord(s, Embedded({'R', 'I', 'F', 'F'}), 7);
    Block b(s);
    const SoundRecord r = ReadSoundRecord(b.cursor);
    EXPECT_EQ(r.source.form, ITEM_EMBEDDED);
    EXPECT_EQ(r.source.size, 4u);
    EXPECT_EQ(r.source.bytes[3], 'F');
    EXPECT_EQ(r.playMode, 7);
    EXPECT_EQ(b.Consumed(), 4u + 2 + 4);
}

TEST(SettingsRecords, AppearanceReadsColourBytesOnlyForTheSolidStyle)
{
    Appearance solid = {0x00112233, 0x00445566, STYLE_SOLID, 10, 20, 30};
    Bytes s;
    PutAppearanceRecord(s, solid);
    Block b(s);
    Appearance read = DefaultAppearance();
    ReadAppearanceRecord(b.cursor, read);
    EXPECT_EQ(b.Consumed(), 13u);
    EXPECT_EQ(read.TitleColour, 0x00112233u);
    EXPECT_EQ(read.ShadowColour, 0x00445566u);
    EXPECT_EQ(read.green, 20);

    Appearance red = DefaultAppearance();
    red.BackgroundStyle = 5;
    Bytes t;
    PutAppearanceRecord(t, red);
    PutU8(t, 0xEE);
    Block c(t);
    Appearance other = DefaultAppearance();
    ReadAppearanceRecord(c.cursor, other);
    EXPECT_EQ(c.Consumed(), 10u);
    EXPECT_EQ(other.BackgroundStyle, 5);
    EXPECT_EQ(other.blue, 255);
}

TEST(SettingsRecords, SheetBackReferences)
{
    Bytes s;
    PutSheetRecord(s, ItemData{}, 0);
    PutSheetRecord(s, Embedded({'B', 'M', 1, 2}), 0);
    PutSheetRecord(s, ItemData{}, 1);
    PutSheetRecord(s, ItemData{}, 2);
    Block b(s);
    const SheetRecord r0 = ReadSheetRecord(b.cursor);
    const SheetRecord r1 = ReadSheetRecord(b.cursor);
    const SheetRecord r2 = ReadSheetRecord(b.cursor);
    const SheetRecord r3 = ReadSheetRecord(b.cursor);
    EXPECT_EQ(r0.source.form, ITEM_NONE);
    EXPECT_EQ(r0.backReference, 0);
    EXPECT_EQ(r1.source.form, ITEM_EMBEDDED);
    EXPECT_EQ(r2.backReference, 1);
    EXPECT_EQ(r3.backReference, 2);
    EXPECT_EQ(b.Consumed(), b.bytes.size());
}

TEST(SettingsRecords, BannerCountZeroIsTwoBytes)
{
    Bytes s;
    PutBannerHead(s, 0, 1);
    PutU32(s, 0xDEADBEEF);
    Block b(s);
    EXPECT_EQ(ReadBannerHead(b.cursor).count, 0);
    EXPECT_EQ(b.Consumed(), 2u);
}

TEST(SettingsRecords, BannerWithPlacement)
{
    const int32_t placement[4] = {10, -20, 90, 60};
    Bytes s;
    PutBannerHead(s, 2, 1);
    PutBannerRecord(s, External("banner.bmp"), placement);
    PutBannerRecord(s, ItemData{}, placement);
    Block b(s);
    const BannerHead head = ReadBannerHead(b.cursor);
    EXPECT_EQ(head.count, 2);
    EXPECT_EQ(head.atStart, 1);
    const BannerRecord r = ReadBannerRecord(b.cursor);
    EXPECT_STREQ((const char*)r.source.bytes, "banner.bmp");
    EXPECT_EQ(r.placement[1], -20);
    EXPECT_EQ(r.placement[3], 60);
    EXPECT_EQ(ReadBannerRecord(b.cursor).source.form, ITEM_NONE);
    EXPECT_EQ(b.Consumed(), b.bytes.size());
    EXPECT_EQ(ReadBannerRecord(b.cursor).source.form, ITEM_NONE);
}

TEST(SettingsRecords, AbsentCommandIsOneByte)
{
    Bytes s;
    PutCommandRecord(s, COMMAND_INSTALL, CommandData{});
    PutU8(s, 0x00);
    Block b(s);
    const CommandRecord r = ReadCommandRecord(b.cursor, COMMAND_INSTALL);
    EXPECT_EQ(r.present, 0);
    EXPECT_STREQ(r.path, "");
    EXPECT_EQ(b.Consumed(), 1u);
}

TEST(SettingsRecords, CommandTailsByVariant)
{
    CommandData c = DemoCommand("-x");
    c.expectedExitCode = 3;
    c.flags = COMMAND_ABORT_ON_FAILURE | COMMAND_HAS_MESSAGE;
    c.message = "Cannot run Demo.";
    Bytes s;
    PutCommandRecord(s, COMMAND_UNINSTALL_1, c);
    PutCommandRecord(s, COMMAND_UNINSTALL_2, c);
    PutCommandRecord(s, COMMAND_INSTALL, c);
    Block b(s);
    const CommandRecord u1 = ReadCommandRecord(b.cursor, COMMAND_UNINSTALL_1);
    EXPECT_STREQ(u1.message, "Cannot run Demo.");
    EXPECT_EQ(u1.expectedExitCode, 0u);
    const CommandRecord u2 = ReadCommandRecord(b.cursor, COMMAND_UNINSTALL_2);
    EXPECT_STREQ(u2.message, "");
    EXPECT_EQ(u2.flags, 0x03);
    const CommandRecord i1 = ReadCommandRecord(b.cursor, COMMAND_INSTALL);
    EXPECT_EQ(i1.expectedExitCode, 3u);
    EXPECT_STREQ(i1.message, "Cannot run Demo.");
    EXPECT_EQ(b.Consumed(), b.bytes.size());
}

// Every record cut anywhere reads as one without picture, sound or command and
// never reads past the block.
TEST(SettingsRecords, RecordsCutOffByTheBlockEndReadAsAbsent)
{
    const int32_t placement[4] = {1, 2, 3, 4};
    CommandData command = DemoCommand("-y");
    command.flags = COMMAND_HAS_MESSAGE;
    command.message = "m";
    struct Case {
        std::function<void(Bytes&)> write;
        std::function<bool(ByteCursor&)> absent;
    };
    const Case cases[] = {
        {[](Bytes& s) { PutSoundRecord(s, External("a.wav"), 1); },
         [](ByteCursor& c) { return ReadSoundRecord(c).source.form == ITEM_NONE; }},
        {[](Bytes& s) { PutSoundRecord(s, Embedded(Bytes(9, 1)), 0); },
         [](ByteCursor& c) { return ReadSoundRecord(c).source.form == ITEM_NONE; }},
        {[](Bytes& s) { PutSheetRecord(s, Embedded(Bytes(5, 2)), 0); },
         [](ByteCursor& c) { return ReadSheetRecord(c).source.form == ITEM_NONE; }},
        {[&](Bytes& s) { PutBannerRecord(s, External("b.bmp"), placement); },
         [](ByteCursor& c) { return ReadBannerRecord(c).source.form == ITEM_NONE; }},
        {[&](Bytes& s) { PutCommandRecord(s, COMMAND_UNINSTALL_1, command); },
         [](ByteCursor& c) { return !ReadCommandRecord(c, COMMAND_UNINSTALL_1).present; }},
        {[&](Bytes& s) { PutCommandRecord(s, COMMAND_INSTALL, command); },
         [](ByteCursor& c) { return !ReadCommandRecord(c, COMMAND_INSTALL).present; }},
    };
    for (const Case& k : cases) {
        Bytes full;
        k.write(full);
        for (size_t cut = 0; cut < full.size(); cut++) {
            Block b(Bytes(full.begin(), full.begin() + (long)cut));
            EXPECT_TRUE(k.absent(b.cursor)) << "cut at " << cut << " of " << full.size();
            EXPECT_EQ(b.Consumed(), cut);
        }
        Block whole(full);
        EXPECT_FALSE(k.absent(whole.cursor));
    }
}

TEST(SettingsRecords, NegativeTextLengthAbandonsTheBlock)
{
    Bytes s;
    PutU8(s, 0);
    PutU16(s, 0);
    PutU16(s, 0x8001);
    PutBytes(s, "xxxxxxxx", 8);
    Block b(s);
    EXPECT_EQ(ReadCommandRecord(b.cursor, COMMAND_INSTALL).present, 0);
    EXPECT_TRUE(b.cursor.overrun);
}

TEST(SettingsRecords, HugeNegativeNameLengthIsCutOff)
{
    Bytes s;
    PutU32(s, 0x80000000u);
    PutU16(s, 1);
    PutBytes(s, "abc", 4);
    Block b(s);
    EXPECT_EQ(ReadSoundRecord(b.cursor).source.form, ITEM_NONE);
}
