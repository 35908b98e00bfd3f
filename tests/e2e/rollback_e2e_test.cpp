// The rollback matrix: an install aborted at every point where it can fail
// leaves the files of the prefix's drive and the registry as they were.
#include "base/paths.h"
#include "driver/file_bytes.h"
#include "driver/scratch_folder.h"
#include "driver/typical_package.h"
#include "driver/window_driver.h"
#include "machine_state.h"
#include "package/package_writer.h"
#include "res/resource_ids.h"
#include <gtest/gtest.h>
#include <stdlib.h>

namespace {

const char Destination[] = "C:\\Program files\\QI Matrix\\";
const char Product[] = "QI Matrix 1.0";
const char ExitQuestion[] = "Slot 52";
const char NewerCaption[] = "Slot 32";
const char FinishCaption[] = "Slot 7";

// The parts a scenario changes in a package of three files (four with the
// test's helper program, "echo.exe"), a desktop link and four registry
// values, two of them in a key of the user's.
struct Scenario {
    const char* name;
    CommandData first;
    RegistryEntry lastValue;
    int16_t linkFolder = LINK_DESKTOP;
    std::string product = Product;
    CommandData second = CommandData{};
    bool withHelper = false;
    uint8_t flags = 0;
};

const char UserKey[] = "Software\\QI Matrix User";

Bytes Script(const Scenario& s)
{
    std::vector<std::string> texts = TypicalTexts();
    texts[3] = s.product;
    texts[30] = "QI Matrix";
    return PlainScript(texts, s.first, s.second);
}

Bytes Data(const Scenario& s, uint32_t* fileSectionLength)
{
    Bytes data;
    PutU16(data, s.withHelper ? 4 : 3);
    for (const char* name : {"\\u.exe", "\\bin\\tool.dat", "\\docs\\readme.txt"}) {
        FileEntry f;
        f.relativeName = name;
        f.body = Bytes(1000, 'x');
        f.created = f.modified = 133000000000000000ull; // 2022
        PutFileRecord(data, f);
    }
    if (s.withHelper) {
        FileEntry helper;
        helper.relativeName = "\\echo.exe";
        helper.body = ReadFileBytes(getenv("QI_ECHO_ARGS"));
        PutFileRecord(data, helper);
    }
    *fileSectionLength = (uint32_t)data.size();
    PutU16(data, 1);
    ShortcutEntry link;
    link.target = "\\docs\\readme.txt";
    link.linkFolder = s.linkFolder;
    link.linkName = "QI Matrix.lnk";
    PutShortcutRecord(data, link);
    PutU16(data, 4);
    RegistryEntry value;
    value.key = "Software\\QI Matrix\\Settings";
    value.valueName = "Path";
    value.data = Bytes{'C', ':', 0};
    PutRegistryRecord(data, value);
    value.key = UserKey;
    value.valueName = "Theme";
    PutRegistryRecord(data, value);
    value.valueName = "";
    PutRegistryRecord(data, value);
    PutRegistryRecord(data, s.lastValue);
    return data;
}

struct RollbackRun : ::testing::Test {
    ScratchFolder work{"e2e-rollback"};
    std::string temp = work / "temp\\";
    RunningProgram setup;
    HWND wizard = NULL;

    void SetUp() override { CreateDirectoryA(temp.c_str(), NULL); }
    void TearDown() override
    {
        if (setup.process)
            WaitForExit(setup, 1);
    }

    // Walks to Install with a package of the scenario and presses it.
    void StartInstall(const Scenario& s, bool destinationExists = false)
    {
        ASSERT_TRUE(!s.withHelper || getenv("QI_ECHO_ARGS"));
        PackageParts parts;
        parts.script = Script(s);
        parts.data = Data(s, &parts.fileSectionLength);
        parts.flags = s.flags;
        StartPackage(parts, destinationExists);
    }

    void StartPackage(const PackageParts& parts, bool destinationExists)
    {
        const char* stub = getenv("QI_SETUP_STUB");
        ASSERT_TRUE(stub);
        Bytes exe = ReadFileBytes(stub);
        ASSERT_TRUE(AppendPackage(exe, parts));
        WriteFileBytes(work / "matrix.exe", exe);
        wizard = StartTypicalAndInstall(setup, work / "matrix.exe", temp, destinationExists);
        ASSERT_TRUE(wizard) << "no Ready step to install from";
    }
};

// What the user had before: a value and a default value in a key the
// package writes to, and a link where the package puts its own.
struct UsersOwn {
    const std::string link = ShellFolder("Desktop") + "QI Matrix.lnk";
    const Bytes linkBytes = Bytes{'m', 'y', ' ', 'l', 'i', 'n', 'k'};

    UsersOwn()
    {
        HKEY key;
        RegCreateKeyA(HKEY_CURRENT_USER, UserKey, &key);
        RegSetValueExA(key, "Theme", 0, REG_SZ, (const BYTE*)"light", 6);
        RegSetValueExA(key, "", 0, REG_SZ, (const BYTE*)"the user's default", 19);
        RegCloseKey(key);
        WriteFileBytes(link, linkBytes);
    }
    ~UsersOwn()
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, UserKey);
        DeleteFileA(link.c_str());
    }
};

RegistryEntry Value(const char* name)
{
    RegistryEntry v;
    v.key = "Software\\QI Matrix\\Settings";
    v.valueName = name;
    v.kind = VALUE_NUMBER;
    v.number = 7;
    return v;
}

} // namespace

TEST_F(RollbackRun, EveryAbortLeavesTheMachineAsItWas)
{
    RegistryEntry failing = Value("Stop");
    failing.root = 9;
    failing.flags = REGISTRY_STOP_ON_FAILURE;
    failing.message = "Slot registry failed";
    Scenario damaged{"a damaged shortcut record", CommandData{}, Value("Count")};
    damaged.linkFolder = 9;
    Scenario cannotLog{"a log record that cannot be written", CommandData{}, Value("")};
    cannotLog.lastValue.valueName = std::string(250, 'v');
    Scenario unregistered{"a failed registration", CommandData{}, Value("Count")};
    unregistered.product = std::string(240, 'p');
    const Scenario scenarios[] = {
        damaged,
        {"a program with another exit code", ProgramCommand(FOLDER_SYSTEM, "\\cmd.exe", "/c exit 3"), Value("Count")},
        {"a program that cannot start",
         ProgramCommand(FOLDER_DESTINATION, "\\missing.exe", "", 0x03, "Slot cannot start"), Value("Count")},
        {"a program that cannot start, without a message",
         ProgramCommand(FOLDER_DESTINATION, "\\missing.exe", "", COMMAND_ABORT_ON_FAILURE), Value("Count")},
        {"a registry value that must not fail", CommandData{}, failing},
        cannotLog,
        unregistered,
    };
    const char* messages[] = {"Slot 38", nullptr, "Slot cannot start", nullptr, "Slot registry failed", "Slot 43",
                              nullptr};
    // The last three fail after the link and the user's values were overwritten.
    const UsersOwn own;
    for (size_t i = 0; i < sizeof scenarios / sizeof scenarios[0]; i++) {
        SCOPED_TRACE(scenarios[i].name);
        ScratchFolder::Remove(Destination);
        const MachineState before = Snapshot();
        StartInstall(scenarios[i]);
        if (messages[i]) {
            EXPECT_TRUE(AnswerMessageBox(setup, messages[i], IDOK));
        }
        EXPECT_EQ(WaitForExit(setup), 0);
        const MachineState after = Snapshot();
        EXPECT_EQ(Differences(before, after), "");
        EXPECT_EQ(ReadFileBytes(own.link), own.linkBytes);
    }
}

// With a group folder made for the install, which goes with it.
TEST_F(RollbackRun, AbortInAConflictAndAConfirmedCancelLeaveTheMachineAsItWas)
{
    Scenario plain{"", CommandData{}, Value("Count")};
    plain.flags = TRAILER_GROUP_STEP;
    for (int cancel = 0; cancel < 2; cancel++) {
        SCOPED_TRACE(cancel ? "Cancel confirmed with Yes" : "Abort in the newer-copy question");
        ScratchFolder::Remove(Destination);
        WriteDated(std::string(Destination) + "bin\\tool.dat", "the user's newer tool", 2030);
        const MachineState before = Snapshot();
        StartInstall(plain, true);
        HWND prompt = WaitForWindow(setup, "#32770", NewerCaption);
        ASSERT_TRUE(prompt);
        if (cancel) {
            HWND progress = WaitForWindow(setup, "#32770", "Dialog");
            ASSERT_TRUE(progress);
            PostMessageA(progress, WM_COMMAND, IDCANCEL, 0);
            Sleep(200);
            ASSERT_TRUE(PressButtonLater(prompt, IDC_NEWER_KEEP));
        } else {
            ASSERT_TRUE(PressButtonLater(prompt, IDCANCEL));
        }
        ASSERT_TRUE(AnswerMessageBox(setup, ExitQuestion, IDYES));
        EXPECT_EQ(WaitForExit(setup), 0);
        EXPECT_EQ(Differences(before, Snapshot()), "");
    }
    ScratchFolder::Remove(Destination);
}

namespace {

void RemoveInstall()
{
    EndProcessesOf("echo.exe", "QI Matrix");
    ScratchFolder::Remove(Destination);
    DeleteFileA((ShellFolder("Desktop") + "QI Matrix.lnk").c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QI Matrix");
    RegDeleteTreeA(HKEY_CURRENT_USER, UserKey);
    RemoveUninstallEntries(Product);
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

} // namespace

// A program that cannot start stops nothing unless its record says so, a
// message is only shown when there is one, and the second program may run
// on while the install finishes.
TEST_F(RollbackRun, ProgramsThatMayFailOrRunOnLetTheInstallFinish)
{
    const std::string told = work / "told.txt", quiet = work / "quiet.txt";
    Scenario a{"", ProgramCommand(FOLDER_DESTINATION, "\\missing.exe", "", COMMAND_HAS_MESSAGE, "Slot told"),
               Value("Count")};
    a.second = ProgramCommand(FOLDER_DESTINATION, "\\echo.exe", (Quoted(told) + " 0 15000").c_str(), COMMAND_NO_WAIT);
    a.withHelper = true;
    Scenario b{"", ProgramCommand(FOLDER_DESTINATION, "\\missing.exe", "", 0), Value("Count")};
    b.second = ProgramCommand(FOLDER_DESTINATION, "\\echo.exe", (Quoted(quiet) + " 5").c_str(), 0);
    b.second.expectedExitCode = 5;
    b.withHelper = true;

    RemoveInstall();
    StartInstall(a);
    ASSERT_TRUE(AnswerMessageBox(setup, "Slot told", IDOK)) << "bit 1 shows the message, then the install goes on";
    for (int i = 0; i < 100 && WindowText(wizard) != FinishCaption; i++)
        Sleep(100);
    ASSERT_EQ(WindowText(wizard), FinishCaption) << "bit 7 does not wait for the second program";
    EXPECT_EQ(CommandLinesOf("echo.exe", "QI Matrix").size(), 1u) << "the second program still runs";
    EXPECT_EQ(ReadFileBytes(told).empty(), false);
    ASSERT_TRUE(PressButton(wizard, IDC_NEXT));
    EXPECT_EQ(WaitForExit(setup), 0);
    RemoveInstall();

    StartInstall(b);
    for (int i = 0; i < 100 && WindowText(wizard) != FinishCaption; i++)
        Sleep(100);
    ASSERT_EQ(WindowText(wizard), FinishCaption) << "no flags: no message, no rollback; the exit code expected";
    const Bytes lines = ReadFileBytes(quiet);
    EXPECT_EQ(std::string(lines.begin(), lines.end()),
              std::string(Destination) + "echo.exe\n" + quiet + "\n5\n") << "the second program was waited for";
    ASSERT_TRUE(PressButton(wizard, IDC_NEXT));
    EXPECT_EQ(WaitForExit(setup), 0);
    RemoveInstall();
}

namespace {

FileEntry DatedFile(const std::string& name, const Bytes& body)
{
    FileEntry f;
    f.relativeName = name;
    f.body = body;
    f.created = f.modified = 133000000000000000ull; // 2022
    return f;
}

// A product to cut off: the real uninstaller, a README that replaces the
// user's, files in a sub-folder around a large one, the test's helper
// program last, a desktop link and two values; the helper, the second
// program, runs after the values and waits.
PackageParts KillableProduct(const std::string& marker)
{
    std::vector<FileEntry> files = {DatedFile("\\u.exe", ReadFileBytes(getenv("QI_UNINSTALLER"))),
                                    DatedFile("\\README.txt", Bytes(100, 'r'))};
    for (int i = 1; i <= 8; i++) {
        files.push_back(DatedFile("\\data\\file" + std::to_string(i) + ".dat", Bytes(20000, (uint8_t)i)));
        if (i == 3) {
            Bytes big(8 << 20);
            for (size_t b = 0; b < big.size(); b++)
                big[b] = (uint8_t)(b * 7 % 251);
            files.push_back(DatedFile("\\data\\big.bin", big));
        }
    }
    files.push_back(DatedFile("\\bin\\echo.exe", ReadFileBytes(getenv("QI_ECHO_ARGS"))));
    PackageParts parts;
    parts.data = FilesAndDesktopLink(files, &parts.fileSectionLength, "\\README.txt", "QI Matrix.lnk");
    PutU16(parts.data, 2);
    PutRegistryRecord(parts.data, Value("Count"));
    PutRegistryRecord(parts.data, Value("Size"));
    Scenario s{"", CommandData{}, Value("Count")};
    s.second = ProgramCommand(FOLDER_DESTINATION, "\\bin\\echo.exe", (Quoted(marker) + " 0 30000").c_str());
    parts.script = Script(s);
    parts.flags = 0;
    return parts;
}

bool WaitUntilExists(const std::string& path)
{
    for (int i = 0; i < 60000 && !FileExists(path); i++)
        Sleep(1);
    return FileExists(path);
}

} // namespace

// A setup killed at any moment (by the task manager, a crash, a power cut)
// leaves an install its entry in the list of installed programs removes, the
// user's own README put back.
TEST_F(RollbackRun, InstallKilledAtAnyMomentIsRemovedByItsEntry)
{
    ASSERT_TRUE(getenv("QI_ECHO_ARGS") && getenv("QI_UNINSTALLER"));
    const std::string marker = work / "second-program.txt", readme = std::string(Destination) + "README.txt";
    const std::string users = "the user's own README";
    const PackageParts product = KillableProduct(marker);
    const struct {
        const char* moment;
        std::string sign; // what shows that the moment has come
    } kills[] = {
        {"while copying", std::string(Destination) + "data\\file3.dat"},
        {"between the files and the links", std::string(Destination) + "bin\\echo.exe"},
        {"just before the end, the second program running", marker},
    };
    for (const auto& kill : kills) {
        SCOPED_TRACE(kill.moment);
        RemoveInstall();
        DeleteFileA(marker.c_str());
        WriteDated(readme, users, 2020);
        const MachineState before = Snapshot();
        StartPackage(product, true);
        ASSERT_TRUE(WaitUntilExists(kill.sign));
        TerminateProcess(setup.process, 1);
        WaitForExit(setup);
        EndProcessesOf("echo.exe", "QI Matrix");
        const std::string command = UninstallString(Product);
        ASSERT_FALSE(command.empty()) << "the partial install is listed";

        RunningProgram first, copy;
        ASSERT_TRUE(StartCommandLine(first, command, temp));
        EXPECT_EQ(WaitForExit(first), 0);
        ASSERT_TRUE(FindProgram(copy, "quninst.exe"));
        ASSERT_TRUE(AnswerMessageBox(copy, "Slot 47", IDYES));
        HWND report = WaitForMessageBox(copy, Product);
        ASSERT_TRUE(report);
        if (&kill == kills)
            SaveScreenshot("killed-install-removed");
        EXPECT_EQ(MessageBoxText(report), "Slot 48") << "everything the partial install made went";
        PressButton(report, IDOK);
        EXPECT_EQ(WaitForExit(copy), 0);
        EXPECT_EQ(Differences(before, Snapshot()), "");
        const Bytes left = ReadFileBytes(readme);
        EXPECT_EQ(std::string(left.begin(), left.end()), users);
    }
    RemoveInstall();
}
