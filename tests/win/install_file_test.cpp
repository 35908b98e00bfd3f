// One file onto the disk: absent, older, equal and newer copies, folders
// made on the way, targets that cannot be written, references, and the older
// copies an install sets aside until it ends.
#include "driver/scratch_folder.h"
#include "engine/install_file.h"
#include "open_log.h"
#include <algorithm>

namespace {

const uint64_t Day = 864000000000ull; // FILETIME units

FILETIME Time(uint64_t t)
{
    return FILETIME{(DWORD)t, (DWORD)(t >> 32)};
}

uint64_t Ticks(const FILETIME& f)
{
    return (uint64_t)f.dwHighDateTime << 32 | f.dwLowDateTime;
}

const uint64_t January2026 = 134117280000000000ull;

std::string Contents(const std::string& path)
{
    const Bytes bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

bool Write(const std::string& path, const std::string& text)
{
    WriteFileBytes(path, Bytes(text.begin(), text.end()));
    return FileExists(path);
}

// Each test installs into its scratch folder with a log of its own there.
struct InstallingFiles : ::testing::Test, OpenedLog {
    ScratchFolder work{"install-file"};
    std::string body = "the new contents";
    InstallItem item = {};

    void SetUp() override
    {
        item.body = (const uint8_t*)body.data();
        item.created = Time(January2026);
        item.modified = Time(January2026 + Day);
        item.attributes = FILE_ATTRIBUTE_ARCHIVE;
        item.size = (uint32_t)body.size();
        Prepare(work.path.c_str());
        Open(work.path.c_str());
    }
    void TearDown() override { FinishInstallLog(); }

    // The paths the log names, oldest first, the uninstaller's included.
    std::vector<std::string> Logged()
    {
        Bytes log = ReadFileBytes(InstallLogPath());
        uint32_t count = 0;
        ByteCursor c;
        std::vector<std::string> paths;
        LogRecord r;
        if (OpenLogBytes(log.data(), log.size(), &count, &c))
            for (uint32_t i = 0; i < count && ReadLogRecord(c, r); i++)
                paths.push_back(r.text);
        return paths;
    }

    // The scratch folder's entries but the uninstaller and the log.
    std::vector<std::string> Entries()
    {
        std::vector<std::string> names;
        for (const std::string& name : FolderEntries(work.path))
            if (name.compare(0, 4, "QXUn"))
                names.push_back(name);
        std::sort(names.begin(), names.end());
        return names;
    }

    void Target(const std::string& name) { lstrcpynA(item.targetPath, (work / name).c_str(), PATH_SIZE); }

    // A file already on the disk with this creation time. Wine keeps no
    // creation time of its own on a Linux file system and reports the last
    // write's, so both are set.
    void Existing(const std::string& name, const std::string& contents, uint64_t created)
    {
        ASSERT_TRUE(Write(work / name, contents));
        HANDLE f = CreateFileA((work / name).c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
        const FILETIME t = Time(created);
        SetFileTime(f, &t, NULL, &t);
        CloseHandle(f);
    }

    uint64_t LastWriteOf(const std::string& name)
    {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExA((work / name).c_str(), GetFileExInfoStandard, &data);
        return Ticks(data.ftLastWriteTime);
    }
};

} // namespace

TEST_F(InstallingFiles, AbsentTargetIsWrittenWithItsTimesAndAttributesAndLoggedAfterItsStagingFolder)
{
    Target("a.txt");
    item.flags = INSTALL_REMOVES_FOLDER;
    EXPECT_EQ(InstallFile(item, 1), INSTALL_DONE);
    EXPECT_EQ(Contents(work / "a.txt"), body);
    EXPECT_EQ(LastWriteOf("a.txt"), January2026 + Day);
    EXPECT_EQ(GetFileAttributesA(item.targetPath), (DWORD)FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(Logged(), (std::vector<std::string>{work / "QXUn000.uqx", work / "~q001\\new", work / "a.txt"}));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"a.txt", "~q001"})) << "the staging folder, empty, while files come";
    FinishInstallLog();
    EXPECT_EQ(Entries(), std::vector<std::string>{"a.txt"});
}

TEST_F(InstallingFiles, ReplacedCopiesWaitAsideUntilTheEndAndARollbackPutsThemBack)
{
    Existing("older.txt", "older", January2026 - Day);
    Existing("equal.txt", "equal", January2026);
    // Under Wine the first copy's creation time is its last write's, a day
    // later than the record's; the check would call it newer.
    int checkNewer = 1;
    for (const char* name : {"older.txt", "equal.txt", "older.txt"}) {
        Target(name);
        EXPECT_EQ(InstallFile(item, checkNewer), INSTALL_DONE) << name;
        EXPECT_EQ(Contents(work / name), body);
        checkNewer = !strcmp(name, "older.txt");
    }
    EXPECT_EQ(Contents(work / "older.txt.~q001"), "older") << "named twice, the user's copy stays aside";
    EXPECT_EQ(Logged().size(), 4u) << "a file named twice is logged once";
    RollBackInstallLog();
    EXPECT_EQ(Contents(work / "older.txt"), "older");
    EXPECT_EQ(Contents(work / "equal.txt"), "equal");
    EXPECT_EQ(FolderEntries(work.path).size(), 2u) << "nothing else stays";

    Open(work.path.c_str());
    Target("older.txt");
    EXPECT_EQ(InstallFile(item, 1), INSTALL_DONE);
    FinishInstallLog();
    EXPECT_EQ(Contents(work / "older.txt"), body) << "a completed install keeps the new copy";
    EXPECT_EQ(Entries(), (std::vector<std::string>{"equal.txt", "older.txt"}));
}

TEST_F(InstallingFiles, NewerCopyIsLeftAloneUnlessTheCheckIsOff)
{
    Existing("newer.txt", "newer!", January2026 + 2 * Day);
    Target("newer.txt");
    EXPECT_EQ(InstallFile(item, 1), INSTALL_NEWER_ON_DISK);
    EXPECT_EQ(Contents(work / "newer.txt"), "newer!");
    EXPECT_EQ(item.existingSize, 6u);
    EXPECT_EQ(Ticks(item.existingCreated), January2026 + 2 * Day);
    EXPECT_EQ(InstallFile(item, 0), INSTALL_DONE);
    EXPECT_EQ(Contents(work / "newer.txt"), body);
}

// In a folder the install made, a file named twice replaces its own first copy.
TEST_F(InstallingFiles, MissingFoldersAreMadeFromTheTop)
{
    Target("one\\two\\three\\deep.txt");
    EXPECT_EQ(InstallFile(item, 1), INSTALL_DONE);
    body = "the second copy";
    item.body = (const uint8_t*)body.data();
    item.size = (uint32_t)body.size();
    EXPECT_EQ(InstallFile(item, 1), INSTALL_DONE);
    EXPECT_EQ(Contents(work / "one\\two\\three\\deep.txt"), body);
    RollBackInstallLog();
    EXPECT_FALSE(FileExists(work / "one")) << "the folders made go with the rollback";
}

TEST_F(InstallingFiles, TargetsThatCannotBeWrittenFailAndStayAsTheyWere)
{
    Existing("readonly.txt", "kept", January2026 - Day);
    SetFileAttributesA((work / "readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    Target("readonly.txt");
    EXPECT_EQ(InstallFile(item, 1), INSTALL_FAILED);
    SetFileAttributesA((work / "readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Contents(work / "readonly.txt"), "kept");

    // A name Windows does not take: the whole file is written, read-only,
    // and neither it nor its record stays.
    Target("what?.txt");
    item.attributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE;
    EXPECT_EQ(InstallFile(item, 1), INSTALL_FAILED);
    item.attributes = FILE_ATTRIBUTE_ARCHIVE;
    EXPECT_EQ(Logged().size(), 2u) << "the uninstaller and the staging folder";

    // Held open without sharing, as another program may: a retry succeeds
    // once it is closed.
    Existing("busy.txt", "busy", January2026 - Day);
    HANDLE holder = CreateFileA((work / "busy.txt").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    Target("busy.txt");
    EXPECT_EQ(InstallFile(item, 1), INSTALL_FAILED);
    CloseHandle(holder);
    EXPECT_EQ(Contents(work / "busy.txt"), "busy");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"busy.txt", "readonly.txt"}));
    EXPECT_EQ(InstallFile(item, 1), INSTALL_DONE);
    EXPECT_EQ(Contents(work / "busy.txt.~q001"), "busy");
}

TEST_F(InstallingFiles, ReferencesAreCopiedWritableAndAMissingSourceLeavesNothing)
{
    ASSERT_TRUE(Write(work / "source.dat", "beside the setup"));
    SetFileAttributesA((work / "source.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    InstallItem reference = {};
    lstrcpynA(reference.sourcePath, (work / "source.dat").c_str(), PATH_SIZE);
    lstrcpynA(reference.targetPath, (work / "copied\\source.dat").c_str(), PATH_SIZE);
    EXPECT_EQ(InstallFile(reference, 1), INSTALL_DONE);
    EXPECT_EQ(Contents(work / "copied\\source.dat"), "beside the setup");
    EXPECT_FALSE(GetFileAttributesA(reference.targetPath) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((work / "source.dat").c_str(), FILE_ATTRIBUTE_NORMAL);

    lstrcpynA(reference.sourcePath, (work / "missing.dat").c_str(), PATH_SIZE);
    lstrcpynA(reference.targetPath, (work / "copied\\missing.dat").c_str(), PATH_SIZE);
    EXPECT_EQ(InstallFile(reference, 1), INSTALL_FAILED);
    EXPECT_FALSE(FileExists(work / "copied\\missing.dat")) << "no empty target stays";
}

TEST_F(InstallingFiles, EmptyFileKeepsItsTimesAndAttributes)
{
    item.size = 0;
    item.attributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
    Target("empty.txt");
    EXPECT_EQ(InstallFile(item, 1), INSTALL_DONE);
    EXPECT_EQ(Contents(work / "empty.txt"), "");
    EXPECT_EQ(LastWriteOf("empty.txt"), January2026 + Day);
    EXPECT_EQ(GetFileAttributesA(item.targetPath), (DWORD)(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
}

TEST(PathPrefixes, WalkFromTheDriveDownAndFolderOfPathKeepsTheSeparator)
{
    char prefix[PATH_SIZE], folder[PATH_SIZE];
    StartPathPrefixes();
    std::vector<std::string> seen;
    while (NextPathPrefix("C:\\a\\bc\\d.txt", prefix))
        seen.push_back(prefix);
    EXPECT_EQ(seen, (std::vector<std::string>{"C:\\", "C:\\a\\", "C:\\a\\bc\\"}));
    FolderOfPath(folder, "C:\\a\\bc\\d.txt");
    EXPECT_STREQ(folder, "C:\\a\\bc\\");
    FolderOfPath(folder, "C:d.txt");
    EXPECT_STREQ(folder, "C:");
}
