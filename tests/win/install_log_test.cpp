// The install log on the disk: its names beside the uninstaller, its bytes,
// and the rollback that replays it, older copies included.
#include "driver/scratch_folder.h"
#include "engine/install_file.h"
#include "engine/older_copies.h"
#include "open_log.h"

namespace {

// The folder of the worked example, so that the log has its very length.
const char Destination[] = "C:\\D\\";

struct InstallLogging : ::testing::Test, OpenedLog {
    void SetUp() override
    {
        ScratchFolder::Remove(Destination);
        ASSERT_TRUE(CreateDirectoryA(Destination, NULL));
        Prepare(Destination);
    }
    void TearDown() override { ScratchFolder::Remove(Destination); }

    void Open(const char* folder = Destination) { OpenedLog::Open(folder); }

    static bool Append(const char* path, uint8_t flag)
    {
        return AppendToInstallLog(LogRecord{LOG_FILE, flag, path, 0, nullptr});
    }

    static std::string LogPath()
    {
        char path[PATH_SIZE];
        lstrcpynA(path, InstallLogPath(), PATH_SIZE);
        return path;
    }

    static void Write(const std::string& path, const char* text)
    {
        WriteFileBytes(path, Bytes(text, text + strlen(text)));
    }
};

} // namespace

TEST_F(InstallLogging, OpenPlacesTheUninstallerAndWritesTheWorkedExample)
{
    Open();
    EXPECT_EQ(LogPath(), "C:\\D\\QXUn001.uqx");
    EXPECT_EQ(ReadFileBytes("C:\\D\\QXUn000.uqx"), (Bytes{'M', 'Z', 1, 2, 3}));
    EXPECT_TRUE(GetFileAttributesA("C:\\D\\QXUn000.uqx") & FILE_ATTRIBUTE_HIDDEN);
    const Bytes open = ReadFileBytes("C:\\D\\QXUn001.uqx");
    FinishInstallLog();
    const Bytes log = ReadFileBytes("C:\\D\\QXUn001.uqx");
    EXPECT_EQ(open, log) << "the count is current while the log is open";
    ASSERT_EQ(log.size(), 121u);
    EXPECT_EQ(Bytes(log.begin(), log.begin() + 7), (Bytes{0, 1, 0, 0, 0, 0x5D, 0}));
    const char tail[] = "\x00\x01\x11\x00" "C:\\D\\QXUn000.uqx";
    EXPECT_EQ(Bytes(log.end() - 21, log.end()), Bytes(tail, tail + 21));
}

TEST_F(InstallLogging, SecondInstallIntoTheFolderTakesTheNextNamesAndCountsItsRecords)
{
    Open("C:\\D"); // without its backslash the names still lie inside
    FinishInstallLog();
    Open();
    EXPECT_EQ(LogPath(), "C:\\D\\QXUn003.uqx");
    EXPECT_TRUE(FileExists("C:\\D\\QXUn002.uqx"));
    EXPECT_TRUE(Append("C:\\D\\a.txt", 1));
    const size_t before = ReadFileBytes("C:\\D\\QXUn003.uqx").size();
    EXPECT_TRUE(AppendToInstallLog(LogRecord{LOG_REGISTRY, 0, "Software\\QI", 1, "Path"}));
    const Bytes open = ReadFileBytes("C:\\D\\QXUn003.uqx");
    EXPECT_EQ(open[1], 3) << "the uninstaller and two records, counted as they come";
    WithdrawLastLogRecord();
    const Bytes withdrawn = ReadFileBytes("C:\\D\\QXUn003.uqx");
    EXPECT_EQ(withdrawn[1], 2);
    EXPECT_EQ(withdrawn.size(), before);
    EXPECT_TRUE(Append("C:\\D\\b.txt", 0));
    FinishInstallLog();
    const Bytes log = ReadFileBytes("C:\\D\\QXUn003.uqx");
    EXPECT_EQ(log[1], 3);
    EXPECT_EQ(log.size(), before + 4 + strlen("C:\\D\\b.txt") + 1) << "the next record where the withdrawn one was";
}

TEST_F(InstallLogging, AbortRemovesWhatTheLogNamesAndPutsOlderCopiesBack)
{
    CreateDirectoryA("C:\\D\\sub", NULL);
    Write("C:\\D\\kept.txt", "older copy");
    Open();
    Write("C:\\D\\sub\\new.txt", "new");
    EXPECT_TRUE(Append("C:\\D\\sub\\new.txt", 1));
    ASSERT_TRUE(SetAsideOlderCopy("C:\\D\\kept.txt"));
    Write("C:\\D\\kept.txt", "installed copy");
    EXPECT_TRUE(Append("C:\\D\\kept.txt", 1));
    RollBackInstallLog();
    EXPECT_EQ(FolderEntries("C:\\D\\"), std::vector<std::string>{"kept.txt"});
    EXPECT_EQ(ReadFileBytes("C:\\D\\kept.txt"), (Bytes{'o', 'l', 'd', 'e', 'r', ' ', 'c', 'o', 'p', 'y'}));

    // Nothing of the product's left: the destination folder goes too.
    DeleteFileA("C:\\D\\kept.txt");
    Open();
    RollBackInstallLog();
    EXPECT_FALSE(FileExists("C:\\D"));
}

TEST_F(InstallLogging, LogThatCannotBeMadeLeavesOtherInstallsAlone)
{
    for (int i = 0; i < 1000; i++) {
        char name[32];
        wsprintfA(name, "C:\\D\\QXUn%.3d.uqx", i);
        Write(name, "another install's");
    }
    settings.clear();
    SettingsCursor = CursorOver(settings.data(), 0);
    OpenFileSection();
    EXPECT_FALSE(OpenInstallLog(Destination));
    RollBackInstallLog();
    EXPECT_EQ(FolderEntries("C:\\D\\").size(), 1000u);
    EXPECT_EQ(ReadFileBytes("C:\\D\\QXUn999.uqx").size(), strlen("another install's"));
}

// The log is shared for writing while the install runs: the rollback undoes
// what the install recorded, whatever another process wrote into the file.
TEST_F(InstallLogging, RollbackUndoesWhatTheInstallRecordedNotWhatTheFileSays)
{
    Open();
    Write("C:\\D\\first.txt", "1");
    Write("C:\\D\\their.txt", "not the install's");
    EXPECT_TRUE(Append("C:\\D\\first.txt", 0));
    Bytes planted(LOG_RECORD_MAX);
    planted.resize(BuildLogRecord(planted.data(), LogRecord{LOG_FILE, 0, "C:\\D\\their.txt", 0, nullptr}));
    HANDLE f = CreateFileA(LogPath().c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    SetFilePointer(f, -(LONG)planted.size(), NULL, FILE_END);
    DWORD written;
    WriteFile(f, planted.data(), (DWORD)planted.size(), &written, NULL);
    CloseHandle(f);
    RollBackInstallLog();
    EXPECT_EQ(FolderEntries("C:\\D\\"), std::vector<std::string>{"their.txt"});
}

// Drive Q: is a disk of 1 MB while the tests run (see the end-to-end tests).
TEST_F(InstallLogging, LogThatCannotGrowStillUndoesWhatItNamed)
{
    ULARGE_INTEGER free = {}, total = {};
    if (!GetDiskFreeSpaceExA("Q:\\", &free, &total, NULL) || total.QuadPart > 2000000)
        GTEST_SKIP() << "no small disk Q: (a tmpfs mount needs root)";
    ASSERT_TRUE(CreateDirectoryA("Q:\\P", NULL));
    strcpy(DestinationPath, "Q:\\P\\");
    Open("Q:\\P\\");
    std::vector<std::string> files;
    for (int i = 0; i < 40; i++) {
        files.push_back("Q:\\P\\" + std::string(200, 'f') + std::to_string(i));
        Write(files.back(), "x");
    }
    // The rest of the disk goes to another file.
    HANDLE filler = CreateFileA("Q:\\filler", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    const Bytes chunk(4096, 0);
    DWORD written = chunk.size();
    while (written == chunk.size() && WriteFile(filler, chunk.data(), (DWORD)chunk.size(), &written, NULL)) {
    }
    CloseHandle(filler);
    size_t logged = 0;
    while (logged < files.size() && Append(files[logged].c_str(), 0))
        logged++;
    ASSERT_LT(logged, files.size()) << "the log could grow on a full disk";
    RollBackInstallLog();
    for (size_t i = 0; i < files.size(); i++)
        EXPECT_EQ(FileExists(files[i]), i >= logged) << i;
    EXPECT_FALSE(FileExists("Q:\\P\\QXUn000.uqx"));
    EXPECT_FALSE(FileExists("Q:\\P\\QXUn001.uqx"));
    DeleteFileA("Q:\\filler");
    ScratchFolder::Remove("Q:\\P\\");
}
