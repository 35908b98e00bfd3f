#include "base/paths.h"
#include "base/shared.h"
#include "base/temp_folder.h"
#include "driver/scratch_folder.h"
#include <gtest/gtest.h>
#include <string.h>

namespace {

struct PrivateFolder : ::testing::Test {
    ScratchFolder temp{"private"};

    void SetUp() override { strcpy(TempDir, temp.path.c_str()); }
    void TearDown() override { RemovePrivateTempFolder(); }
};

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

} // namespace

TEST_F(PrivateFolder, IsANewFolderInTheTemporaryFolderNamedWithARandomPart)
{
    const std::string first = PrivateTempFolder();
    ASSERT_EQ(first.compare(0, temp.path.size(), temp.path), 0) << first;
    const std::string name = first.substr(temp.path.size());
    ASSERT_EQ(name.size(), 11u) << name;
    EXPECT_EQ(name.compare(0, 2, "~Q"), 0);
    for (int i = 2; i < 10; i++)
        EXPECT_TRUE(IsHexDigit(name[i])) << name;
    EXPECT_EQ(name[10], '\\');
    EXPECT_TRUE(GetFileAttributesA(first.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(PrivateTempFolder(), first) << "one folder per run";
    RemovePrivateTempFolder();
    EXPECT_NE(PrivateTempFolder(), first);
}

TEST_F(PrivateFolder, IsRemovedWithEverythingInItAndNothingElse)
{
    const std::string folder = PrivateTempFolder();
    CreateDirectoryA((folder + "sub").c_str(), NULL);
    for (const std::string& file : {folder + "~QXinwaw.wav", folder + "sub\\left.txt", temp / "beside.txt"})
        CloseHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL));
    RemovePrivateTempFolder();
    EXPECT_FALSE(FileExists(folder));
    EXPECT_TRUE(FileExists(temp / "beside.txt"));
}

TEST_F(PrivateFolder, NoneWithoutATemporaryFolder)
{
    TempDir[0] = 0;
    EXPECT_STREQ(PrivateTempFolder(), "");
    strcpy(TempDir, (temp / "missing\\").c_str());
    RemovePrivateTempFolder();
    EXPECT_STREQ(PrivateTempFolder(), "");
}
