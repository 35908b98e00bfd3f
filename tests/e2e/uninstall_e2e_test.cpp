// The uninstaller as a user meets it: the demo product installed, then
// removed through the command its uninstall entry holds; a file another
// program holds open; and logs that are not whole.
#include "base/paths.h"
#include "driver/demo_product.h"
#include "driver/file_bytes.h"
#include "driver/typical_package.h"
#include "driver/window_driver.h"
#include "engine/log_format.h"
#include "machine_state.h"
#include "package/data_records.h"
#include <gtest/gtest.h>
#include <stdlib.h>

namespace {

const char Title[] = "QInstall Demo 1.0";
const char Question[] = "Do you want to remove QInstall Demo 1.0 and all of its components?";
const char Success[] = "QInstall Demo 1.0 was removed from your computer.";
const char Partial[] = "Some parts of QInstall Demo 1.0 could not be removed. You can remove them by hand.";

struct UninstallRun : ::testing::Test {
    ScratchFolder work{"e2e-uninstall"};
    std::string temp = work / "temp\\";

    void SetUp() override
    {
        CreateDirectoryA(temp.c_str(), NULL);
        RemoveDemoInstall();
    }
    void TearDown() override
    {
        EndProcessesOf("quninst.exe", "");
        RemoveDemoInstall();
    }

    // With screenshots: the Welcome and Finish steps of the demo, for its README.
    void InstallDemo(bool screenshots = false)
    {
        RunningProgram setup;
        ASSERT_TRUE(StartAndAgree(setup, "demo", temp));
        if (screenshots && WaitForWindow(setup, "#32770", "Welcome")) {
            Sleep(300);
            SaveScreenshot("demo-1-welcome");
        }
        HWND wizard = WalkDemoToInstall(setup);
        ASSERT_TRUE(wizard);
        for (int i = 0; i < 100 && WindowText(wizard) != "Setup completed"; i++)
            Sleep(100);
        ASSERT_EQ(WindowText(wizard), "Setup completed");
        if (screenshots) {
            Sleep(300);
            SaveScreenshot("demo-2-finish");
        }
        PressButton(wizard, IDC_README);
        PressButton(wizard, IDC_NEXT);
        EXPECT_EQ(WaitForExit(setup), 0);
        // The setup shows the group in Explorer at its end, which would hold the folder.
        Sleep(500);
        EndProcessesOf("explorer.exe", "QInstall Demo");
    }

    // Starts the removal of a product as the list of installed programs
    // does and agrees: the temporary copy that does the work.
    void StartRemoval(RunningProgram& copy, const std::string& product = "QInstall Demo 1.0",
                      const std::string& question = Question, const std::string& screenshot = "")
    {
        RunningProgram first;
        ASSERT_TRUE(StartCommandLine(first, UninstallString(product), temp));
        EXPECT_EQ(WaitForExit(first), 0) << "the first process hands over to its copy and ends";
        ASSERT_TRUE(FindProgram(copy, "quninst.exe"));
        if (!screenshot.empty() && WaitForMessageBox(copy, Title))
            SaveScreenshot(screenshot);
        ASSERT_TRUE(AnswerMessageBox(copy, question, IDYES));
    }
};

} // namespace

TEST_F(UninstallRun, DemoProductGoesWholeAndWhatWasThereStays)
{
    const MachineState before = Snapshot();
    InstallDemo(true);
    ASSERT_FALSE(UninstallString("QInstall Demo 1.0").empty());
    ASSERT_NE(Differences(before, Snapshot()), "");
    RunningProgram copy;
    StartRemoval(copy, "QInstall Demo 1.0", Question, "demo-3-uninstall-question");
    HWND report = WaitForMessageBox(copy, Title);
    ASSERT_TRUE(report);
    SaveScreenshot("demo-4-uninstall-removed");
    EXPECT_EQ(MessageBoxText(report), Success);
    PressButton(report, IDOK);
    EXPECT_EQ(WaitForExit(copy), 0);
    EXPECT_EQ(Differences(before, Snapshot()), "");
    EXPECT_FALSE(FileExists(DemoFolder)) << "the destination folder goes when it is empty";
}

TEST_F(UninstallRun, HeldFileIsNamedAndASecondRunRemovesTheRest)
{
    const MachineState before = Snapshot();
    InstallDemo();
    const std::string held = std::string(DemoFolder) + "data\\settings.ini";
    HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    RunningProgram copy;
    StartRemoval(copy);
    HWND report = WaitForMessageBox(copy, Title);
    ASSERT_TRUE(report);
    EXPECT_EQ(MessageBoxText(report), std::string(Partial) + "\n\n" + held + "\n");
    PressButton(report, IDOK);
    EXPECT_EQ(WaitForExit(copy), 2);
    CloseHandle(holder);
    EXPECT_TRUE(FileExists(held));
    EXPECT_FALSE(FileExists(std::string(DemoFolder) + "docs\\manual.txt")) << "the read-only file went";
    ASSERT_FALSE(UninstallString("QInstall Demo 1.0").empty()) << "the entry stays for the second run";

    // A file of the user's own in the product's folder is not the uninstaller's to remove.
    const std::string own = std::string(DemoFolder) + "data\\my notes.txt";
    WriteFileBytes(own, Bytes{'n'});
    RunningProgram again;
    StartRemoval(again);
    ASSERT_TRUE(AnswerMessageBox(again, Success, IDOK));
    EXPECT_EQ(WaitForExit(again), 0);
    EXPECT_EQ(ReadFileBytes(own), Bytes{'n'}) << "its folders stay with it";
    DeleteFileA(own.c_str());
    RemoveDirectoryA((std::string(DemoFolder) + "data").c_str());
    RemoveDirectoryA(DemoFolder);
    EXPECT_EQ(Differences(before, Snapshot()), "");
}

namespace {

// A whole log with one more record, the user's file outside every install
// folder or the whole of a key every program shares.
Bytes WithRecord(Bytes log, const LogRecord& r, std::string* index)
{
    uint8_t record[LOG_RECORD_MAX];
    const size_t n = BuildLogRecord(record, r);
    log.insert(log.end(), record, record + n);
    const uint32_t count = LoadU32(&log[LOG_COUNT_OFFSET]);
    StoreU32(&log[LOG_COUNT_OFFSET], count + 1);
    *index = std::to_string(count);
    return log;
}

} // namespace

// A log that is not whole, or one that names what no install makes, changes
// nothing: the program says so and ends.
TEST_F(UninstallRun, LogThatIsNotWholeOrNotAnInstallsChangesNothing)
{
    InstallDemo();
    const std::string log = std::string(DemoFolder) + "QXUn001.uqx";
    const Bytes whole = ReadFileBytes(log);
    ASSERT_GT(whole.size(), 200u);
    Bytes longerCount = whole;
    longerCount[1] = (uint8_t)(longerCount[1] + 1);
    const std::string thesis = "C:\\QI Data\\thesis.docx";
    CreateDirectoryA("C:\\QI Data", NULL);
    WriteFileBytes(thesis, Bytes{'t'});
    std::string file, key;
    const Bytes outside = WithRecord(whole, LogRecord{LOG_FILE, 0, thesis.c_str(), 0, nullptr}, &file);
    const Bytes shared = WithRecord(whole, LogRecord{LOG_REGISTRY, 1, "Software\\", ROOT_CURRENT_USER, "?"}, &key);
    const std::string damaged = work / "damaged.uqx", crafted = std::string(DemoFolder) + "QXUn009.uqx";
    const std::string refused = "This install log names what no install makes:\n" + crafted + "\n\nRecord ";
    const struct {
        Bytes bytes;
        std::string path, message;
    } rows[] = {
        {Bytes(whole.begin(), whole.end() - 3), damaged,
         "This install log cannot be read or is damaged:\n" + damaged + "\n\nNothing was removed."},
        {longerCount, damaged, "This install log cannot be read or is damaged:\n" + damaged + "\n\nNothing was removed."},
        {outside, crafted, refused + file + ": " + thesis + "\n\nNothing was removed."},
        {shared, crafted, refused + key + ": Software\\\n\nNothing was removed."},
    };
    const char* uninstaller = getenv("QI_UNINSTALLER");
    ASSERT_TRUE(uninstaller);
    for (const auto& row : rows) {
        WriteFileBytes(row.path, row.bytes);
        const MachineState installed = Snapshot();
        RunningProgram first, copy;
        ASSERT_TRUE(StartCommandLine(first, "\"" + std::string(uninstaller) + "\" \"" + row.path + "\"", temp));
        EXPECT_EQ(WaitForExit(first), 0);
        ASSERT_TRUE(FindProgram(copy, "quninst.exe"));
        EXPECT_TRUE(AnswerMessageBox(copy, row.message, IDOK));
        EXPECT_EQ(WaitForExit(copy), 1);
        EXPECT_EQ(Differences(installed, Snapshot()), "");
    }
    EXPECT_EQ(ReadFileBytes(thesis), Bytes{'t'});
    ScratchFolder::Remove("C:\\QI Data\\");
    // A path longer than any log has is refused before anything is made of it.
    const std::string tooLong = "C:\\" + std::string(300, 'l') + ".uqx";
    RunningProgram first;
    ASSERT_TRUE(StartCommandLine(first, "\"" + std::string(uninstaller) + "\" \"" + tooLong + "\"", temp));
    EXPECT_TRUE(AnswerMessageBox(first, "This install log cannot be read or is damaged:\n" + tooLong.substr(0, 259) +
                                            "\n\nNothing was removed.",
                                 IDOK));
    EXPECT_EQ(WaitForExit(first), 1);
}

namespace {

// A product of the typical texts whose files are the tests' helper program,
// which its first uninstall command runs, and a data file; a failure to
// start the program stops the removal with the command's message. The
// removal ends with the restart question.
Bytes ProductWithUninstallProgram(const std::string& output)
{
    const char* stub = getenv("QI_SETUP_STUB");
    const char* uninstaller = getenv("QI_UNINSTALLER");
    const char* helper = getenv("QI_ECHO_ARGS");
    if (!stub || !uninstaller || !helper)
        return Bytes();
    const CommandData first = ProgramCommand(FOLDER_DESTINATION, "\\echo.exe", ("\"" + output + "\" 0").c_str(),
                                             COMMAND_ABORT_ON_FAILURE | COMMAND_HAS_MESSAGE, "Slot cannot remove");
    PackageParts parts;
    parts.script = PlainScript(TypicalTexts(), CommandData{}, CommandData{}, first);
    PutU16(parts.data, 3);
    FileEntry u, echo, data;
    u.relativeName = "\\uninstall.exe";
    u.body = ReadFileBytes(uninstaller);
    echo.relativeName = "\\echo.exe";
    echo.body = ReadFileBytes(helper);
    data.relativeName = "\\data.txt";
    data.body = Bytes{'d'};
    PutFileRecord(parts.data, u);
    PutFileRecord(parts.data, echo);
    PutFileRecord(parts.data, data);
    parts.fileSectionLength = (uint32_t)parts.data.size();
    PutU16(parts.data, 0);
    PutU16(parts.data, 0);
    parts.flags = TRAILER_UNINSTALL_RESTART;
    Bytes exe = ReadFileBytes(stub);
    return AppendPackage(exe, parts) ? exe : Bytes();
}

} // namespace

// The program that cannot start stops the first run; the second runs it and
// removes all but a file held open; the third finds the program removed by
// the second and finishes without it.
TEST_F(UninstallRun, FirstUninstallProgramRunsFirstAndOneThatCannotStartStopsTheRemoval)
{
    const char Product[] = "Demo 1.0", Destination[] = "C:\\Program files\\Slot 30\\";
    const std::string output = work / "removal program.txt", setupPath = work / "product.exe";
    const Bytes setupProgram = ProductWithUninstallProgram(output);
    ASSERT_FALSE(setupProgram.empty());
    WriteFileBytes(setupPath, setupProgram);
    ScratchFolder::Remove(Destination);
    RemoveUninstallEntries(Product);
    RunningProgram setup;
    HWND wizard = StartTypicalAndInstall(setup, setupPath, temp);
    ASSERT_TRUE(wizard);
    for (int i = 0; i < 100 && WindowText(wizard) != "Slot 7"; i++)
        Sleep(100);
    ASSERT_TRUE(PressButton(wizard, IDC_NEXT));
    EXPECT_EQ(WaitForExit(setup), 0);

    const std::string program = std::string(Destination) + "echo.exe", data = std::string(Destination) + "data.txt";
    const Bytes helper = ReadFileBytes(program);
    WriteFileBytes(program, Bytes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'r', 'o', 'g', 'r', 'a', 'm'});
    HANDLE holder = INVALID_HANDLE_VALUE;
    const std::string reports[] = {"Slot cannot remove", "Slot 49\n\n" + data + "\n", "Slot 48"};
    for (int run = 0; run < 3; run++) {
        SCOPED_TRACE("run " + std::to_string(run));
        RunningProgram copy;
        StartRemoval(copy, Product, "Slot 47");
        ASSERT_TRUE(AnswerMessageBox(copy, reports[run], IDOK));
        if (run) {
            EXPECT_TRUE(AnswerMessageBox(copy, "Slot 55", IDNO)) << "the restart question comes last";
        }
        EXPECT_EQ(WaitForExit(copy), run == 1 ? 2 : 0);
        EXPECT_EQ(FileExists(std::string(Destination) + "QXUn001.uqx"), run < 2) << "the log goes with the product";
        if (run == 0) {
            WriteFileBytes(program, helper);
            holder = CreateFileA(data.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        }
        if (run == 1) {
            CloseHandle(holder);
            EXPECT_FALSE(FileExists(program)) << "removed after it ran";
        }
    }
    const Bytes lines = ReadFileBytes(output);
    EXPECT_EQ(std::string(lines.begin(), lines.end()), program + "\n" + output + "\n0\n") << "it ran once";
    EXPECT_FALSE(FileExists(Destination));
    RemoveUninstallEntries(Product);
}

namespace {

const char Upgraded[] = "C:\\Program files\\QI Upgrade\\";
const char VendorKey[] = "Software\\QI Upgrade Vendor";

// Version 3.2, then 3.3 of a product in one folder: 3.3 drops old.txt and
// adds new.txt; both have a file two folders down, a desktop link and
// values in a key of their vendor.
Bytes UpgradeProduct(const std::string& version)
{
    const char* stub = getenv("QI_SETUP_STUB");
    const char* uninstaller = getenv("QI_UNINSTALLER");
    if (!stub || !uninstaller)
        return Bytes();
    std::vector<std::string> texts = TypicalTexts();
    texts[3] = "QI Upgrade " + version;
    texts[30] = "QI Upgrade";
    PackageParts parts;
    parts.script = PlainScript(texts);
    parts.flags = 0;
    const std::string names[] = {"\\uninstall.exe", "\\app.txt", "\\docs\\deep\\manual.txt",
                                 version == "3.2" ? "\\old.txt" : "\\new.txt"};
    std::vector<FileEntry> files;
    for (const std::string& name : names) {
        FileEntry f;
        f.relativeName = name;
        f.body = name == names[0] ? ReadFileBytes(uninstaller) : Bytes(version.begin(), version.end());
        f.created = f.modified = 133000000000000000ull; // 2022: no copy on the disk is older
        files.push_back(f);
    }
    parts.data = FilesAndDesktopLink(files, &parts.fileSectionLength, "\\app.txt", "QI Upgrade.lnk");
    PutU16(parts.data, 2);
    RegistryEntry value;
    value.key = std::string(VendorKey) + "\\Product";
    value.valueName = "Version";
    value.data = Bytes(version.begin(), version.end() + 1);
    PutRegistryRecord(parts.data, value);
    value.valueName = "Shared";
    PutRegistryRecord(parts.data, value);
    Bytes exe = ReadFileBytes(stub);
    return AppendPackage(exe, parts) ? exe : Bytes();
}

std::string Text(const std::string& path)
{
    const Bytes bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void RemoveUpgrades()
{
    ScratchFolder::Remove(Upgraded);
    DeleteFileA((ShellFolder("Desktop") + "QI Upgrade.lnk").c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, VendorKey);
    RemoveUninstallEntries("QI Upgrade 3.2");
    RemoveUninstallEntries("QI Upgrade 3.3");
}

} // namespace

// Removing the older of two versions in one folder leaves the newer whole;
// removing that one, from where it lies (no temporary copy can be made),
// leaves the machine as before the first.
TEST_F(UninstallRun, UpgradeRemovesOnlyWhatTheNewerVersionNoLongerUses)
{
    RemoveUpgrades();
    const MachineState before = Snapshot();
    for (const char* version : {"3.2", "3.3"}) {
        SCOPED_TRACE(version);
        WriteFileBytes(work / "upgrade.exe", UpgradeProduct(version));
        RunningProgram setup;
        HWND wizard = StartTypicalAndInstall(setup, work / "upgrade.exe", temp, version[2] == '3');
        ASSERT_TRUE(wizard);
        for (int i = 0; i < 100 && WindowText(wizard) != "Slot 7"; i++)
            Sleep(100);
        ASSERT_TRUE(PressButton(wizard, IDC_NEXT));
        EXPECT_EQ(WaitForExit(setup), 0);
    }
    const std::string newer = UninstallString("QI Upgrade 3.3");
    ASSERT_FALSE(newer.empty());
    RunningProgram copy;
    StartRemoval(copy, "QI Upgrade 3.2", "Slot 47");
    ASSERT_TRUE(AnswerMessageBox(copy, "Slot 48", IDOK));
    EXPECT_EQ(WaitForExit(copy), 0);
    EXPECT_EQ(UninstallString("QI Upgrade 3.2"), "");
    EXPECT_EQ(UninstallString("QI Upgrade 3.3"), newer);
    const std::string dir = Upgraded;
    EXPECT_EQ(Text(dir + "app.txt"), "3.3");
    EXPECT_EQ(Text(dir + "docs\\deep\\manual.txt"), "3.3");
    EXPECT_EQ(Text(dir + "new.txt"), "3.3");
    EXPECT_FALSE(FileExists(dir + "old.txt"));
    EXPECT_FALSE(FileExists(dir + "QXUn000.uqx")) << "3.2's uninstaller and log went";
    EXPECT_FALSE(FileExists(dir + "QXUn001.uqx"));
    EXPECT_TRUE(FileExists(ShellFolder("Desktop") + "QI Upgrade.lnk"));
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, std::string(VendorKey) + "\\Product", "Version"), "3.3");

    RunningProgram inPlace;
    ASSERT_TRUE(StartCommandLine(inPlace, newer, work / "no such folder\\"));
    ASSERT_TRUE(AnswerMessageBox(inPlace, "Slot 47", IDYES));
    ASSERT_TRUE(AnswerMessageBox(inPlace, "Slot 48", IDOK));
    EXPECT_EQ(WaitForExit(inPlace), 0);
    EXPECT_EQ(UninstallString("QI Upgrade 3.3"), "");
    // Its own copy, which it cannot delete while it runs, stays with its
    // folder until Windows next starts.
    DeleteFileA((dir + "QXUn002.uqx").c_str());
    RemoveDirectoryA(Upgraded);
    EXPECT_EQ(Differences(before, Snapshot()), "");
    RemoveUpgrades();
}
