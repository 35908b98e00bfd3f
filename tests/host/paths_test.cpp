#include "app/paths.h"
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
