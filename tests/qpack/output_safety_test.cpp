// qpack writes only where it may: never over a file it reads, never into
// anything but a regular file. (A write that fails midway is a case of the
// command-line test, which can limit the size of qpack's files.)
#include "manifest_folder.h"
#include <algorithm>
#include <errno.h>
#include <gtest/gtest.h>
#include <string.h>
#include <sys/stat.h>

namespace {

std::string Contents(const std::string& path)
{
    std::vector<uint8_t> bytes;
    std::string reason;
    EXPECT_TRUE(ReadWholeFile(path, bytes, reason)) << path << ": " << reason;
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> Entries(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool IsFifo(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
}

} // namespace

TEST(OutputSafety, NoInputNorAnythingButARegularFileIsAnOutput)
{
    ManifestFolder folder("refusal");
    const std::string input = folder.Write("in/a.txt", "input");
    std::filesystem::create_hard_link(input, folder.Path("hard"));
    std::filesystem::create_symlink(input, folder.Path("soft"));
    ASSERT_EQ(mkfifo(folder.Path("fifo").c_str(), 0600), 0);
    const std::vector<std::string> inputs = {folder.Path("absent.txt"), input};
    EXPECT_EQ(OutputRefusal(folder.Path("new.exe"), inputs), "");
    EXPECT_EQ(OutputRefusal(folder.Write("old.exe", "old"), inputs), "");
    for (const char* name : {"in/a.txt", "in/../in/./a.txt", "hard", "soft"})
        EXPECT_NE(OutputRefusal(folder.Path(name), inputs).find("same file as '" + input + "'"), std::string::npos)
            << name;
    EXPECT_EQ(OutputRefusal(folder.Path("fifo"), inputs), "it is a FIFO, not a regular file");
    EXPECT_EQ(OutputRefusal(folder.Path("in"), inputs), "it is a folder, not a regular file");
    EXPECT_EQ(OutputRefusal(folder.Path("old.exe/x"), inputs), strerror(ENOTDIR));
}

TEST(OutputSafety, WritesReplaceOnlyRegularFiles)
{
    ManifestFolder folder("replace");
    const std::string out = folder.Write("out.exe", "old");
    const std::vector<uint8_t> bytes = {'n', 'e', 'w'};
    std::string reason;
    ASSERT_TRUE(WriteWholeFile(out, bytes, reason)) << reason;
    EXPECT_EQ(Contents(out), "new");
    const mode_t mask = umask(0);
    umask(mask);
    struct stat info;
    ASSERT_EQ(stat(out.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);

    ASSERT_EQ(mkfifo(folder.Path("fifo").c_str(), 0600), 0);
    EXPECT_FALSE(WriteWholeFile(folder.Path("fifo"), bytes, reason));
    EXPECT_EQ(reason, "it is a FIFO, not a regular file");
    EXPECT_TRUE(IsFifo(folder.Path("fifo")));
    std::filesystem::create_directory(folder.Path("sub"));
    EXPECT_FALSE(WriteWholeFile(folder.Path("sub"), bytes, reason));
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path("sub")));
    EXPECT_EQ(Entries(folder.dir), (std::vector<std::string>{"fifo", "out.exe", "sub"}));
}

TEST(OutputSafety, ReadsTakeOnlyRegularFilesAndSayWhy)
{
    ManifestFolder folder("reads");
    ASSERT_EQ(mkfifo(folder.Path("fifo").c_str(), 0600), 0);
    std::vector<uint8_t> bytes;
    std::string reason;
    EXPECT_FALSE(ReadWholeFile(folder.Path("fifo"), bytes, reason));
    EXPECT_EQ(reason, "it is a FIFO, not a regular file");
    EXPECT_FALSE(ReadWholeFile(folder.Path("absent"), bytes, reason));
    EXPECT_EQ(reason, strerror(ENOENT));
}
