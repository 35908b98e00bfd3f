#include "base/folders.h"
#include "base/paths.h"
#include "base/shared.h"
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

static bool IsFolderString(const char* s)
{
    const size_t n = strlen(s);
    return n >= 3 && s[n - 1] == '\\' && s[n - 2] != '\\';
}

TEST(StandardFolders, EachEndsInOneBackslash)
{
    FillTempDir();
    FillWindowsDir();
    FillSystemDir();
    FillSetupDir();
    EXPECT_TRUE(IsFolderString(TempDir)) << TempDir;
    EXPECT_TRUE(IsFolderString(WindowsDir)) << WindowsDir;
    EXPECT_TRUE(IsFolderString(SystemDir)) << SystemDir;
    EXPECT_TRUE(IsFolderString(SetupDir)) << SetupDir;
}

TEST(StandardFolders, SetupFolderHoldsTheRunningProgram)
{
    FillSetupDir();
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, MAX_PATH);
    EXPECT_EQ(strncmp(self, SetupDir, strlen(SetupDir)), 0);
    EXPECT_EQ(strchr(self + strlen(SetupDir), '\\'), nullptr);
}

TEST(StandardFolders, TemporaryFolderFollowsTheEnvironment)
{
    char saved[MAX_PATH];
    GetEnvironmentVariableA("TMP", saved, MAX_PATH);
    SetEnvironmentVariableA("TMP", "C:\\windows");
    FillTempDir();
    EXPECT_STREQ(TempDir, "C:\\windows\\");
    SetEnvironmentVariableA("TMP", saved);
}

// A folder not made yet is measured on its own disk, whatever the current
// directory: drive Q: is a disk of 1 MB while the tests run.
TEST(StandardFolders, FreeSpaceIsThatOfThePathsOwnDisk)
{
    uint64_t small = 0, large = 0;
    if (!FreeSpaceOf("Q:\\", &small))
        GTEST_SKIP() << "no small disk Q: (a tmpfs mount needs root)";
    SetCurrentDirectoryA("C:\\");
    ASSERT_TRUE(FreeSpaceOf("Q:\\not\\made\\yet\\", &large));
    EXPECT_EQ(large, small);
    ASSERT_TRUE(FreeSpaceOf("C:\\not made\\", &large));
    EXPECT_GT(large, small);
    EXPECT_FALSE(FreeSpaceOf("P:\\folder\\", &large)) << "a drive that does not exist";
}
