// What inspect and extract read from a package is what the setup program
// reads from it, down to records the builder never writes.
#include "driver/typical_package.h"
#include "package/package_writer.h"
#include "qpack/package_contents.h"
#include <gtest/gtest.h>

TEST(PackageReading, NegativeBannerCountAnnouncesABannerAsInTheProgram)
{
    PackageParts parts;
    PutStringTable(parts.script, TypicalTexts());
    PutSoundRecord(parts.script, ItemData{}, 0);
    PutAppearanceRecord(parts.script, DefaultAppearance());
    for (int i = 0; i < 4; i++)
        PutSheetRecord(parts.script, ItemData{}, 0);
    PutBannerHead(parts.script, -1, 1);
    const int32_t placement[4] = {1, 2, 3, 4};
    PutBannerRecord(parts.script, ItemData{ITEM_EXTERNAL, "b.bmp", {}}, placement);
    PutCommandRecord(parts.script, COMMAND_UNINSTALL_1, DemoCommand("/u1"));
    PutCommandRecord(parts.script, COMMAND_UNINSTALL_2, DemoCommand("/u2"));
    PutCommandRecord(parts.script, COMMAND_INSTALL, DemoCommand("/i1"));
    PutCommandRecord(parts.script, COMMAND_INSTALL, DemoCommand("/i2"));
    parts.data = EmptyDataBlock();
    Bytes setup(256, 0x90);
    AppendPackage(setup, parts);

    PackageContents contents;
    std::string error;
    ASSERT_TRUE(ReadPackageContents(setup, contents, error)) << error;
    EXPECT_EQ(contents.bannerHead.count, -1);
    ASSERT_EQ(contents.banners.size(), 1u);
    EXPECT_STREQ((const char*)contents.banners[0].source.bytes, "b.bmp");
    EXPECT_STREQ(contents.commands[0].arguments, "/u1");
    EXPECT_STREQ(contents.commands[3].arguments, "/i2");
    EXPECT_TRUE(contents.damage.empty());
}
