#include "package/package_writer.h"
#include "package/trailer.h"
#include "package/unpack.h"
#include <gtest/gtest.h>

static PackageTrailer Typical()
{
    return PackageTrailer{0x01, 0x000A9E00, 0x000A9C3E, 0x00074512, 0x00000EBB, 0x000AA600, 0x000AA600, 0x00016C00};
}

TEST(Trailer, BytesRoundTripAtTheirOddOffsets)
{
    uint8_t bytes[TRAILER_SIZE];
    WriteTrailer(Typical(), bytes);
    EXPECT_EQ(bytes[0], 0x01);
    EXPECT_EQ(bytes[1], 0x00);
    EXPECT_EQ(bytes[2], 0x9E);
    EXPECT_EQ(bytes[25], 0x00);
    EXPECT_EQ(bytes[26], 0x6C);
    const PackageTrailer t = ParseTrailer(bytes);
    EXPECT_EQ(t.packedSize, 0x00074512u);
    EXPECT_EQ(t.scriptSize, 0x00000EBBu);
    EXPECT_EQ(t.dataSize, 0x000AA600u);
    EXPECT_EQ(t.payloadOffset, 0x00016C00u);
}

TEST(Trailer, FlagsGiveTheModes)
{
    PackageTrailer t = Typical();
    t.flags = 0xF0;
    TrailerSettings s = SettingsFromTrailer(t);
    EXPECT_EQ(s.RestartMode, RESTART_REBOOT);
    EXPECT_EQ(s.UninstallRestartMode, RESTART_REBOOT);
    EXPECT_EQ(s.GroupStepEnabled, 0);
    t.flags = 0x51;
    s = SettingsFromTrailer(t);
    EXPECT_EQ(s.RestartMode, RESTART_LOGOFF);
    EXPECT_EQ(s.UninstallRestartMode, RESTART_LOGOFF);
    EXPECT_EQ(s.GroupStepEnabled, 1);
    t.flags = 0x0E;
    s = SettingsFromTrailer(t);
    EXPECT_EQ(s.RestartMode, RESTART_NONE);
    EXPECT_EQ(s.UninstallRestartMode, RESTART_NONE);
    EXPECT_EQ(s.GroupStepEnabled, 0);
    EXPECT_EQ(s.FileSectionLength, 0x000A9E00u);
    EXPECT_EQ(s.SpaceRequired, 0x000A9C3Eu);
}

TEST(Trailer, PayloadMustLieInsideTheFileBeforeTheTrailer)
{
    PackageTrailer t = Typical();
    const uint32_t exact = t.payloadOffset + t.packedSize + TRAILER_SIZE;
    EXPECT_TRUE(PayloadFitsFile(t, exact));
    EXPECT_FALSE(PayloadFitsFile(t, exact - 1));
    EXPECT_FALSE(PayloadFitsFile(t, TRAILER_SIZE - 1));
    t.payloadOffset = 0;
    EXPECT_FALSE(PayloadFitsFile(t, exact));
    t = Typical();
    t.packedSize = PACK_HEADER_SIZE - 1;
    EXPECT_FALSE(PayloadFitsFile(t, exact));
    t = Typical();
    t.payloadOffset = 0xFFFFFF00u;
    EXPECT_FALSE(PayloadFitsFile(t, 0xFFFFFFFFu));
}

TEST(Trailer, AppendedPackageDescribesItself)
{
    PackageParts parts;
    parts.script = Bytes(100, 's');
    parts.data = Bytes(300, 'd');
    parts.flags = 0x81;
    parts.fileSectionLength = 250;
    parts.spaceRequired = 240;
    Bytes exe(1000, 0xCC);
    AppendPackage(exe, parts);
    const PackageTrailer t = ParseTrailer(exe.data() + exe.size() - TRAILER_SIZE);
    EXPECT_EQ(t.flags, 0x81);
    EXPECT_EQ(t.payloadOffset, 1000u);
    EXPECT_EQ(t.payloadOffset + t.packedSize, exe.size() - TRAILER_SIZE);
    EXPECT_EQ(t.scriptSize, 100u);
    EXPECT_EQ(t.dataSize, 300u);
    EXPECT_EQ(t.fileSectionLength, 250u);
    EXPECT_EQ(t.spaceRequired, 240u);
    std::vector<uint8_t> area(400);
    ASSERT_EQ(UnpackPayload(exe.data() + t.payloadOffset, area.data(), t.packedSize, (uint32_t)area.size()), 400u);
    EXPECT_EQ(area[99], 's');
    EXPECT_EQ(area[100], 'd');
}
