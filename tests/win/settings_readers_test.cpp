#include "base/paths.h"
#include "base/shared.h"
#include "base/temp_folder.h"
#include "driver/file_bytes.h"
#include "driver/scratch_folder.h"
#include "driver/typical_package.h"
#include "package/settings_readers.h"
#include "package/shared.h"
#include <gtest/gtest.h>
#include <string.h>

namespace {

ItemData External(const std::string& name)
{
    ItemData item;
    item.form = ITEM_EXTERNAL;
    item.name = name;
    return item;
}

ItemData Embedded(const std::string& text)
{
    ItemData item;
    item.form = ITEM_EMBEDDED;
    item.data.assign(text.begin(), text.end());
    return item;
}

// The settings readers work on process-wide state: each test gives them a
// fresh block, temporary folder and setup folder.
struct SettingsReaders : ::testing::Test {
    ScratchFolder temp{"settings"};
    Bytes block;

    void SetUp() override
    {
        strcpy(TempDir, temp.path.c_str());
        strcpy(SetupDir, "C:\\dl\\");
        strcpy(DestinationPath, "C:\\Program Files\\Demo\\");
        strcpy(SystemDir, "C:\\windows\\system32\\");
        SoundFile = TempFileRecord{};
        BannerPicture = TempFileRecord{};
        for (TempFileRecord& r : SheetPicture)
            r = TempFileRecord{};
        BannerCount = 0;
        BannerAtStart = 0;
    }
    void TearDown() override { RemovePrivateTempFolder(); }

    static std::string Extracted(const char* name) { return std::string(PrivateTempFolder()) + name; }

    void Start() { SettingsCursor = CursorOver(block.data(), block.size()); }
    size_t Consumed() const { return (size_t)(SettingsCursor.pos - block.data()); }
};

} // namespace

TEST_F(SettingsReaders, EmbeddedSoundIsWrittenToTheTemporaryFolder)
{
    PutSoundRecord(block, Embedded("RIFF-wave"), 2);
    Start();
    ReadSoundSetting();
    EXPECT_EQ(SoundFile.present, 1u);
    EXPECT_EQ(SoundFile.deleteAfterUse, 1u);
    EXPECT_EQ(std::string(SoundFile.path), Extracted("~QXinwaw.wav"));
    EXPECT_EQ(ReadFileBytes(SoundFile.path), Bytes({'R', 'I', 'F', 'F', '-', 'w', 'a', 'v', 'e'}));
    EXPECT_EQ(PlayOnce, 0);
}

TEST_F(SettingsReaders, EntryPreparedUnderAnExtractionNameIsReplaced)
{
    const std::string planted = Extracted("~QXinwaw.wav");
    WriteFileBytes(planted, Bytes(100, 'x'));
    PutSoundRecord(block, Embedded("RIFF"), 1);
    Start();
    ReadSoundSetting();
    EXPECT_EQ(SoundFile.present, 1u);
    EXPECT_EQ(ReadFileBytes(planted), Bytes({'R', 'I', 'F', 'F'}));
}

TEST_F(SettingsReaders, ExternalSoundLiesBesideTheSetupProgram)
{
    PutSoundRecord(block, External("music.wav"), 1);
    Start();
    ReadSoundSetting();
    EXPECT_STREQ(SoundFile.path, "C:\\dl\\music.wav");
    EXPECT_EQ(SoundFile.present, 1u);
    EXPECT_EQ(SoundFile.deleteAfterUse, 0u);
    EXPECT_EQ(PlayOnce, 1);
    EXPECT_EQ(Consumed(), 4u + 2 + 10);
}

TEST_F(SettingsReaders, EmptyTemporaryFolderSkipsEmbeddedItems)
{
    TempDir[0] = 0;
    PutSoundRecord(block, Embedded("RIFF"), 1);
    PutU8(block, 0x42);
    Start();
    ReadSoundSetting();
    EXPECT_EQ(SoundFile.present, 0u);
    EXPECT_EQ(Consumed(), block.size() - 1);
}

TEST_F(SettingsReaders, FileThatCannotBeWrittenIsAbsent)
{
    strcpy(TempDir, (temp / "no such folder\\").c_str());
    PutSoundRecord(block, Embedded("RIFF"), 1);
    Start();
    ReadSoundSetting();
    EXPECT_EQ(SoundFile.present, 0u);
}

TEST_F(SettingsReaders, AppearanceFillsTheWindowsColours)
{
    const Appearance look = {0x00010203, 0x00040506, STYLE_SOLID, 7, 8, 9};
    PutAppearanceRecord(block, look);
    Start();
    ReadAppearance();
    EXPECT_EQ(WindowAppearance.TitleColour, 0x00010203u);
    EXPECT_EQ(WindowAppearance.blue, 9);
    EXPECT_EQ(Consumed(), 13u);
}

TEST_F(SettingsReaders, SheetsShareTheFileOfAnEarlierSheet)
{
    PutSheetRecord(block, ItemData{}, 0);
    PutSheetRecord(block, Embedded("BM-one"), 0);
    PutSheetRecord(block, ItemData{}, 1);
    PutSheetRecord(block, ItemData{}, 2);
    Start();
    ReadSheetPictures();
    EXPECT_EQ(SheetPicture[0].present, 0u);
    EXPECT_EQ(std::string(SheetPicture[1].path), Extracted("~Q1Sheet.bmp"));
    EXPECT_EQ(SheetPicture[1].deleteAfterUse, 1u);
    for (int i : {2, 3}) {
        EXPECT_EQ(SheetPicture[i].present, 1u);
        EXPECT_STREQ(SheetPicture[i].path, SheetPicture[1].path);
        EXPECT_EQ(SheetPicture[i].deleteAfterUse, 0u);
    }
    EXPECT_EQ(Consumed(), block.size());
}

TEST_F(SettingsReaders, FourEmbeddedSheetsGiveFourFiles)
{
    for (int i = 0; i < 4; i++)
        PutSheetRecord(block, Embedded("BM" + std::to_string(i)), 0);
    Start();
    ReadSheetPictures();
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(ReadFileBytes(Extracted(("~Q" + std::to_string(i) + "Sheet.bmp").c_str())).size(), 3u);
}

TEST_F(SettingsReaders, BackReferenceToNoEarlierSheetGivesNoPicture)
{
    PutSheetRecord(block, Embedded("BM"), 0);
    PutSheetRecord(block, ItemData{}, 2);
    PutSheetRecord(block, ItemData{}, -1);
    PutSheetRecord(block, ItemData{}, 3);
    Start();
    ReadSheetPictures();
    EXPECT_EQ(SheetPicture[1].present, 0u);
    EXPECT_EQ(SheetPicture[2].present, 0u);
    EXPECT_EQ(SheetPicture[3].present, 1u);
    EXPECT_EQ(SheetPicture[3].deleteAfterUse, 0u);
}

TEST_F(SettingsReaders, BannersAreReadOneRecordAtATime)
{
    const int32_t first[4] = {10, 20, 90, 80};
    const int32_t second[4] = {0, 0, 50, 50};
    PutBannerHead(block, 2, 0);
    PutBannerRecord(block, Embedded("BM-banner"), first);
    PutBannerRecord(block, External("two.bmp"), second);
    Start();
    ReadBannerPicture(BannerPicture, BannerTempName, 0);
    EXPECT_EQ(BannerCount, 2);
    EXPECT_EQ(BannerAtStart, 0u);
    EXPECT_EQ(std::string(BannerPicture.path), Extracted("~QXinGbm.bmp"));
    EXPECT_TRUE(FileExists(BannerPicture.path));
    EXPECT_EQ(BannerPlacement[2], 90);
    ReadBannerPicture(BannerPicture, BannerTempName, 1);
    EXPECT_STREQ(BannerPicture.path, "C:\\dl\\two.bmp");
    EXPECT_EQ(BannerPicture.deleteAfterUse, 0u);
    EXPECT_EQ(BannerPlacement[2], 50);
    // One record more than the package holds reads as no picture.
    ReadBannerPicture(BannerPicture, BannerTempName, 1);
    EXPECT_EQ(BannerPicture.present, 0u);
}

TEST_F(SettingsReaders, NegativeBannerCountStillReadsTheFirstBanner)
{
    const int32_t placement[4] = {1, 2, 3, 4};
    PutBannerHead(block, -1, 1);
    PutBannerRecord(block, External("b.bmp"), placement);
    PutCommandRecord(block, COMMAND_UNINSTALL_1, ProgramCommand(FOLDER_DESTINATION, "\\u.exe", "/u1"));
    Start();
    ReadBannerPicture(BannerPicture, BannerTempName, 0);
    EXPECT_EQ(BannerCount, -1);
    EXPECT_STREQ(BannerPicture.path, "C:\\dl\\b.bmp");
    char path[PATH_SIZE];
    const char* arguments;
    const char* message;
    uint8_t flags;
    ASSERT_EQ(ReadUninstallCommand1(path, &arguments, &flags, &message), 1);
    EXPECT_STREQ(arguments, "/u1");
}

TEST_F(SettingsReaders, NoBannersReadsOnlyTheCount)
{
    PutBannerHead(block, 0, 0);
    PutU8(block, 0);
    Start();
    ReadBannerPicture(BannerPicture, BannerTempName, 0);
    EXPECT_EQ(BannerCount, 0);
    EXPECT_EQ(BannerPicture.present, 0u);
    EXPECT_EQ(Consumed(), 2u);
}

TEST_F(SettingsReaders, UninstallCommands)
{
    CommandData one = ProgramCommand(FOLDER_DESTINATION, "\\Demo.exe", "/u", COMMAND_HAS_MESSAGE | 0x10);
    one.message = "Closing Demo.";
    PutCommandRecord(block, COMMAND_UNINSTALL_1, one);
    PutCommandRecord(block, COMMAND_UNINSTALL_2, ProgramCommand(FOLDER_SYSTEM, "reg.exe", "/x", 0x7F));
    PutCommandRecord(block, COMMAND_UNINSTALL_2, ProgramCommand(7, "D:\\tools\\a.exe", "", 0x80));
    Start();
    char path[PATH_SIZE];
    const char* arguments;
    const char* message;
    uint8_t flags = 0;
    ASSERT_EQ(ReadUninstallCommand1(path, &arguments, &flags, &message), 1);
    EXPECT_STREQ(path, "C:\\Program Files\\Demo\\Demo.exe");
    EXPECT_STREQ(arguments, "/u");
    EXPECT_EQ(flags, 0x12);
    EXPECT_STREQ(message, "Closing Demo.");
    uint8_t logFlags = 0x05;
    ASSERT_EQ(ReadUninstallCommand2(path, &arguments, &logFlags), 1);
    EXPECT_STREQ(path, "C:\\windows\\system32\\reg.exe");
    EXPECT_EQ(logFlags, 0x05);
    ASSERT_EQ(ReadUninstallCommand2(path, &arguments, &logFlags), 1);
    EXPECT_STREQ(path, "D:\\tools\\a.exe");
    EXPECT_EQ(logFlags, 0x85);
}

TEST_F(SettingsReaders, AbsentUninstallCommandsEmptyTheirOutputs)
{
    PutCommandRecord(block, COMMAND_UNINSTALL_1, CommandData{});
    PutCommandRecord(block, COMMAND_UNINSTALL_2, CommandData{});
    Start();
    char path[PATH_SIZE] = "old";
    const char* arguments = "old";
    const char* message = "old";
    uint8_t flags = 0x33;
    EXPECT_EQ(ReadUninstallCommand1(path, &arguments, &flags, &message), 0);
    EXPECT_STREQ(path, "");
    EXPECT_STREQ(arguments, "");
    EXPECT_STREQ(message, "");
    EXPECT_EQ(flags, 0);
    flags = 0x33;
    strcpy(path, "old");
    EXPECT_EQ(ReadUninstallCommand2(path, &arguments, &flags), 0);
    EXPECT_STREQ(path, "");
    EXPECT_EQ(flags, 0x33);
    EXPECT_EQ(Consumed(), 2u);
}

TEST_F(SettingsReaders, RunCommands)
{
    CommandData first = ProgramCommand(FOLDER_DESTINATION, "\\setup\\init.exe", "-q", COMMAND_ABORT_ON_FAILURE);
    first.expectedExitCode = 5;
    CommandData second =
        ProgramCommand(FOLDER_SYSTEM, "\\regsvr32.exe", "demo.dll", COMMAND_HAS_MESSAGE | COMMAND_NO_WAIT);
    second.message = "Cannot register.";
    PutCommandRecord(block, COMMAND_INSTALL, first);
    PutCommandRecord(block, COMMAND_INSTALL, second);
    PutCommandRecord(block, COMMAND_INSTALL, CommandData{});
    Start();
    char path[PATH_SIZE] = "untouched";
    const char* arguments = nullptr;
    const char* message = "x";
    uint32_t exitCode = 0;
    uint8_t flags = 0;
    ASSERT_EQ(ReadRunCommand(path, &arguments, &exitCode, &flags, &message), 1);
    EXPECT_STREQ(path, "C:\\Program Files\\Demo\\setup\\init.exe");
    EXPECT_STREQ(arguments, "-q");
    EXPECT_EQ(exitCode, 5u);
    EXPECT_EQ(flags, COMMAND_ABORT_ON_FAILURE);
    EXPECT_EQ(message, nullptr);
    ASSERT_EQ(ReadRunCommand(path, &arguments, &exitCode, &flags, &message), 1);
    EXPECT_STREQ(path, "C:\\windows\\system32\\regsvr32.exe");
    EXPECT_STREQ(message, "Cannot register.");
    EXPECT_EQ(flags, COMMAND_HAS_MESSAGE | COMMAND_NO_WAIT);
    strcpy(path, "untouched");
    EXPECT_EQ(ReadRunCommand(path, &arguments, &exitCode, &flags, &message), 0);
    EXPECT_EQ(flags, 0);
    EXPECT_STREQ(path, "untouched");
    EXPECT_STREQ(arguments, "demo.dll");
    EXPECT_EQ(Consumed(), block.size());
}

TEST_F(SettingsReaders, CommandPathThatCannotFitIsEmpty)
{
    PutCommandRecord(block, COMMAND_INSTALL, ProgramCommand(FOLDER_DESTINATION, std::string(250, 'p').c_str(), "-a"));
    Start();
    char path[PATH_SIZE];
    const char* arguments;
    const char* message;
    uint32_t exitCode;
    uint8_t flags;
    ASSERT_EQ(ReadRunCommand(path, &arguments, &exitCode, &flags, &message), 1);
    EXPECT_STREQ(path, "");
    EXPECT_STREQ(arguments, "-a");
}
