#include "base/paths.h"
#include "base/shared.h"
#include <gtest/gtest.h>
#include <string.h>
#include <string>

namespace {

std::string Ended(const char* reported)
{
    char buffer[PATH_SIZE] = {};
    strncpy(buffer, reported, PATH_SIZE - 1);
    EndFolderString(buffer, strlen(reported));
    return buffer;
}

} // namespace

TEST(FolderStrings, EndInOneBackslash)
{
    EXPECT_EQ(Ended("C:\\TEMP"), "C:\\TEMP\\");
    EXPECT_EQ(Ended("C:\\TEMP\\"), "C:\\TEMP\\");
    EXPECT_EQ(Ended(""), "");
}

TEST(FolderStrings, ReportThatCannotFitLeavesThemEmpty)
{
    const std::string fits(258, 'a');
    EXPECT_EQ(Ended(fits.c_str()), fits + "\\");
    EXPECT_EQ(Ended(std::string(259, 'a').c_str()), "");
    EXPECT_EQ(Ended((std::string(258, 'a') + "\\").c_str()), std::string(258, 'a') + "\\");
    char buffer[PATH_SIZE] = "C:\\X";
    EndFolderString(buffer, 300); // what the system reports when the buffer is too small
    EXPECT_STREQ(buffer, "");
}

TEST(FolderStrings, SetupFolderIsTheExecutablesFolder)
{
    char path[PATH_SIZE] = "C:\\dl\\setup.exe";
    CutToFolder(path);
    EXPECT_STREQ(path, "C:\\dl\\");
    char dotted[PATH_SIZE] = "C:\\my.dir\\setup.v2.exe";
    CutToFolder(dotted);
    EXPECT_STREQ(dotted, "C:\\my.dir\\");
}

TEST(ResolveFolderPath, DropsOneLeadingBackslash)
{
    strcpy(SystemDir, "C:\\WINDOWS\\SYSTEM32\\");
    char out[PATH_SIZE];
    EXPECT_EQ(ResolveFolderPath(FOLDER_SYSTEM, out, "\\x.dll"), 1);
    EXPECT_STREQ(out, "C:\\WINDOWS\\SYSTEM32\\x.dll");
    EXPECT_EQ(ResolveFolderPath(FOLDER_SYSTEM, out, "x.dll"), 1);
    EXPECT_STREQ(out, "C:\\WINDOWS\\SYSTEM32\\x.dll");
}

TEST(ResolveFolderPath, EachCodeItsFolder)
{
    strcpy(DestinationPath, "D:\\Demo\\");
    strcpy(WindowsDir, "C:\\WINDOWS\\");
    char out[PATH_SIZE];
    ResolveFolderPath(FOLDER_DESTINATION, out, "\\bin\\a.exe");
    EXPECT_STREQ(out, "D:\\Demo\\bin\\a.exe");
    ResolveFolderPath(FOLDER_WINDOWS, out, "\\b.ini");
    EXPECT_STREQ(out, "C:\\WINDOWS\\b.ini");
}

TEST(ResolveFolderPath, OtherCodesTakeTheNameAsItStands)
{
    char out[PATH_SIZE];
    EXPECT_EQ(ResolveFolderPath(7, out, "D:\\tools\\a.exe"), 0);
    EXPECT_STREQ(out, "D:\\tools\\a.exe");
    EXPECT_EQ(ResolveFolderPath(-1, out, "\\x"), 0);
    EXPECT_STREQ(out, "\\x");
}

TEST(ResolveFolderPath, ResultThatWouldNotFitIsEmpty)
{
    strcpy(SystemDir, (std::string(250, 's') + "\\").c_str());
    char out[PATH_SIZE];
    EXPECT_EQ(ResolveFolderPath(FOLDER_SYSTEM, out, "\\12345678"), 1);
    EXPECT_EQ(strlen(out), 259u);
    EXPECT_EQ(ResolveFolderPath(FOLDER_SYSTEM, out, "\\123456789"), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(ResolveFolderPath(9, out, std::string(300, 'n').c_str()), 0);
    EXPECT_STREQ(out, "");
}

TEST(PathParts, LastComponentOfFoldersAndFiles)
{
    char out[PATH_SIZE];
    LastPathComponent(out, "C:\\Programs\\Demo\\");
    EXPECT_STREQ(out, "Demo");
    LastPathComponent(out, "C:\\Programs\\Demo");
    EXPECT_STREQ(out, "Demo");
    LastPathComponent(out, "Demo");
    EXPECT_STREQ(out, "Demo");
    LastPathComponent(out, "\\");
    EXPECT_STREQ(out, "");
}

TEST(PathParts, LastCharactersOfALongText)
{
    const std::string path = "C:\\a folder with a rather long name\\New Product";
    EXPECT_EQ(std::string(LastChars(path.c_str(), 30)), path.substr(path.size() - 30));
    EXPECT_STREQ(LastChars("short", 30), "short");
}

TEST(PathParts, TextIsAppendedWholeOrNotAtAll)
{
    char out[8] = "abc";
    EXPECT_EQ(AppendText(out, sizeof out, "defgh"), 0);
    EXPECT_STREQ(out, "abc");
    EXPECT_EQ(AppendText(out, sizeof out, "defg"), 1);
    EXPECT_STREQ(out, "abcdefg");
    EXPECT_EQ(AppendText(out, sizeof out, "h"), 0);
}

// Code page 932 puts 0x5C, the backslash, second in characters such as
// U+30BD (0x83 0x5C) and U+8868 (0x95 0x5C).
struct DoubleByteCodePage : ::testing::Test {
    void SetUp() override
    {
        const unsigned char ranges932[12] = {0x81, 0x9F, 0xE0, 0xFC};
        memcpy(LeadByteRanges, ranges932, sizeof LeadByteRanges);
    }
    void TearDown() override { memset(LeadByteRanges, 0, sizeof LeadByteRanges); }
};

TEST_F(DoubleByteCodePage, SetupFolderIsCutBetweenCharacters)
{
    char path[PATH_SIZE] = "C:\\dl\\\x83\x5C\x83\x74\x83\x67.exe";
    CutToFolder(path);
    EXPECT_STREQ(path, "C:\\dl\\");
    char folder[PATH_SIZE] = "C:\\\x83\x5C\\\x95\x5C\\setup.exe";
    CutToFolder(folder);
    EXPECT_STREQ(folder, "C:\\\x83\x5C\\\x95\x5C\\");
}

TEST_F(DoubleByteCodePage, FolderEndingInATrailByteGetsItsBackslash)
{
    EXPECT_EQ(Ended("C:\\\x83\x5C"), "C:\\\x83\x5C\\");
    EXPECT_EQ(Ended("C:\\\x83\x5C\\"), "C:\\\x83\x5C\\");
    // A lead byte cut off by the terminator counts as a character of its own.
    EXPECT_EQ(Ended("C:\\a\x83"), "C:\\a\x83\\");
}

TEST_F(DoubleByteCodePage, CharactersAreWalkedWhole)
{
    const char text[] = "a\x83\x5C\\";
    EXPECT_EQ(NextChar(text), text + 1);
    EXPECT_EQ(NextChar(text + 1), text + 3);
    EXPECT_EQ(NextChar(text + 3), text + 4);
    EXPECT_EQ(NextChar(text + 4), text + 4);
}

TEST_F(DoubleByteCodePage, PathPartsEndAtBackslashCharactersOnly)
{
    const char folder[] = "C:\\\x83\x5C\\\x95\x5C";
    EXPECT_EQ(LastBackslash(folder), folder + 5);
    EXPECT_FALSE(EndsInBackslash(folder));
    char out[PATH_SIZE];
    LastPathComponent(out, "C:\\\x83\x5C\\\x95\x5C\\");
    EXPECT_STREQ(out, "\x95\x5C");
    // Characters, not bytes: three characters are four bytes here.
    EXPECT_STREQ(LastChars("ab\x83\x5C" "c", 3), "b\x83\x5C" "c");
    EXPECT_STREQ(LastChars("ab\x83\x5C" "c", 2), "\x83\x5C" "c");
}
