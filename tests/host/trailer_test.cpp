#include "package/package_writer.h"
#include "package/trailer.h"
#include "package/unpack.h"
#include <algorithm>
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
    EXPECT_GE(t.payloadOffset, 1000u);
    EXPECT_LT(t.payloadOffset, 1008u) << "zeros behind the program, fewer than 8";
    EXPECT_EQ(std::count(exe.begin() + 1000, exe.begin() + t.payloadOffset, 0), t.payloadOffset - 1000);
    EXPECT_EQ(exe.size() % 8, 0u) << "a signature's table can follow the trailer directly";
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

namespace {

// A program image's headers as far as PackageEnd reads them, with a
// certificate table of `length` bytes at `offset` in the fifth data directory.
Bytes ImageWithCertificates(uint32_t size, bool wide, uint32_t offset, uint32_t length, uint32_t directories = 16)
{
    Bytes image(size, 0);
    const uint32_t pe = 0x80, optional = pe + 24, extra = wide ? 16 : 0;
    StoreU32(&image[60], pe);
    StoreU32(&image[pe], 0x4550);
    StoreU16(&image[optional], wide ? 0x20B : 0x10B);
    StoreU32(&image[optional + extra + 92], directories);
    StoreU32(&image[optional + extra + 128], offset);
    StoreU32(&image[optional + extra + 132], length);
    return image;
}

} // namespace

// A signature puts its certificate table at the end: the package ends where
// the table begins. Anything else leaves the end of the file.
TEST(Trailer, PackageEndsBeforeTheCertificateTableThatEndsTheFile)
{
    for (bool wide : {false, true}) {
        Bytes signedImage = ImageWithCertificates(4096, wide, 3000, 1096);
        EXPECT_EQ(PackageEnd(signedImage.data(), 4096), 3000u) << wide;
        Bytes inside = ImageWithCertificates(4096, wide, 3000, 1000);
        EXPECT_EQ(PackageEnd(inside.data(), 4096), 4096u) << "a table that does not end the file";
        Bytes empty = ImageWithCertificates(4096, wide, 4096, 0);
        EXPECT_EQ(PackageEnd(empty.data(), 4096), 4096u) << "no table";
        Bytes few = ImageWithCertificates(4096, wide, 3000, 1096, 4);
        EXPECT_EQ(PackageEnd(few.data(), 4096), 4096u) << "only four directories";
        Bytes past = ImageWithCertificates(4096, wide, 5000, 0xFFFFFFFFu - 903);
        EXPECT_EQ(PackageEnd(past.data(), 4096), 4096u) << "a table claimed past the file";
    }
    Bytes unsignedImage(4096, 0);
    EXPECT_EQ(PackageEnd(unsignedImage.data(), 4096), 4096u);
    Bytes farHeader = ImageWithCertificates(4096, false, 3000, 1096);
    StoreU32(&farHeader[60], 4096 - 100);
    EXPECT_EQ(PackageEnd(farHeader.data(), 4096), 4096u) << "a header too near the end is not read";
    StoreU32(&farHeader[60], 0xFFFFFFF0u);
    EXPECT_EQ(PackageEnd(farHeader.data(), 4096), 4096u);
    EXPECT_EQ(PackageEnd(farHeader.data(), 100), 100u) << "a file too small for the headers";
}
