// The install as a user sees it: files in sub-folders with the log beside
// them, the newer-copy question, the copy error box, cancelling, and the
// rollback that leaves the folder as it was, older copies included.
#include "driver/demo_product.h"
#include "driver/file_bytes.h"
#include "driver/scratch_folder.h"
#include "driver/typical_package.h"
#include "driver/window_driver.h"
#include "engine/log_format.h"
#include "package/package_writer.h"
#include "res/resource_ids.h"
#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <shobjidl.h>
#include <stdlib.h>

namespace {

const char Destination[] = "C:\\Program files\\Engine Test 1.0\\";
const char NewerCaption[] = "Newer copy of a file.";
const char ExitQuestion[] = "Setup is not complete. Do you want to exit setup?";
const char* const PackageFiles[] = {"README.txt", "bin\\tool.bin", "docs\\guide\\manual.txt", "data\\settings.ini",
                                    "big.bin"};

// Every file below a folder with its contents, by its path below it.
std::map<std::string, Bytes> Tree(const std::string& folder, const std::string& below = "")
{
    std::map<std::string, Bytes> files;
    for (const std::string& name : FolderEntries(folder + below)) {
        const std::string path = below + name;
        if (GetFileAttributesA((folder + path).c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
            const std::map<std::string, Bytes> inner = Tree(folder, path + "\\");
            files.insert(inner.begin(), inner.end());
            if (inner.empty())
                files[path + "\\"] = Bytes();
        } else {
            files[path] = ReadFileBytes(folder + path);
        }
    }
    return files;
}

std::string PackageSource(const std::string& name)
{
    std::string path = std::string(getenv("QI_E2E_PACKAGES")) + "/data/engine/" + name;
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

// The paths the install log names, the uninstaller's first.
std::vector<std::string> LoggedPaths(const std::string& log)
{
    Bytes bytes = ReadFileBytes(log);
    uint32_t count = 0;
    ByteCursor c;
    std::vector<std::string> paths;
    if (!OpenLogBytes(bytes.data(), bytes.size(), &count, &c))
        return paths;
    LogRecord r;
    for (uint32_t i = 0; i < count && ReadLogRecord(c, r); i++)
        paths.push_back(r.text);
    return paths;
}

struct InstallRun : ::testing::Test {
    ScratchFolder work{"e2e-engine"};
    std::string temp = work / "temp\\";
    RunningProgram setup;
    HWND wizard = NULL;

    void SetUp() override
    {
        CreateDirectoryA(temp.c_str(), NULL);
        ScratchFolder::Remove(Destination);
        RemoveUninstallEntries("Engine Test 1.0");
        RemoveUninstallEntries(TypicalTexts()[3]);
    }
    void TearDown() override
    {
        if (setup.process)
            WaitForExit(setup, 1);
        ScratchFolder::Remove(Destination);
        RemoveUninstallEntries("Engine Test 1.0");
        RemoveUninstallEntries(TypicalTexts()[3]);
    }

    // Welcome, License, Destination (an existing folder is agreed to), Ready,
    // then Install without waiting for it.
    void StartInstall()
    {
        ASSERT_TRUE(StartAndAgree(setup, "engine", temp));
        wizard = WaitForWindow(setup, "#32770", "Welcome");
        ASSERT_TRUE(wizard);
        ASSERT_TRUE(PressButton(wizard, IDC_NEXT));
        ASSERT_TRUE(PressButton(wizard, IDC_NEXT));
        if (FileExists(Destination)) {
            ASSERT_TRUE(PressButtonLater(wizard, IDC_NEXT));
            ASSERT_TRUE(AnswerMessageBox(
                setup, "The destination folder exists already. Do you want to install into it anyway?", IDYES));
            Sleep(300);
        } else {
            ASSERT_TRUE(PressButton(wizard, IDC_NEXT));
        }
        ASSERT_EQ(WindowText(wizard), "Ready to install");
        ASSERT_TRUE(PressButtonLater(wizard, IDC_NEXT));
    }

    HWND WaitForNewerCopyQuestion()
    {
        HWND prompt = WaitForWindow(setup, "#32770", NewerCaption);
        EXPECT_TRUE(prompt) << "no newer-copy question";
        return prompt;
    }

    // The colour in the middle of the banners' place on the background.
    Rgb BannerSample()
    {
        HWND background = WaitForWindow(setup, "INSTALL", nullptr);
        const RECT c = ClientOnScreen(background);
        Sleep(300);
        return PixelAt(CaptureScreen(), c.left + (c.right - c.left) * 16 / 100, c.top + (c.bottom - c.top) * 77 / 100);
    }

    // The share of the progress bar that is filled, read from the screen.
    double BarFilled()
    {
        HWND dialog = WaitForWindow(setup, "#32770", "Dialog");
        if (!dialog)
            return -1;
        RECT status;
        GetWindowRect(GetDlgItem(dialog, IDC_PROGRESS_STATUS), &status);
        const int unit = (status.bottom - status.top) / 8; // pixels per vertical dialog unit, about
        const int y = status.top + 16 * (status.bottom - status.top) / 8 + 6 * unit;
        const RgbPicture screen = CaptureScreen();
        int blue = 0, yellow = 0;
        for (int x = status.left + 2; x < status.right - 2; x++) {
            const Rgb p = PixelAt(screen, x, y);
            blue += p == Rgb{0, 0, 255};
            yellow += p == Rgb{255, 255, 0};
        }
        return blue + yellow ? (double)blue / (blue + yellow) : -1;
    }

    void ExpectFinishedAndEnd()
    {
        for (int i = 0; i < 100 && WindowText(wizard) != "Setup completed"; i++)
            Sleep(100);
        ASSERT_EQ(WindowText(wizard), "Setup completed");
        EXPECT_TRUE(IsControlVisible(wizard, IDC_README)) << "the README was installed";
        ASSERT_TRUE(PressButton(wizard, IDC_README)); // no Notepad at the end
        ASSERT_TRUE(PressButton(wizard, IDC_NEXT));
        EXPECT_EQ(WaitForExit(setup), 0);
    }

    void ExpectAbortedAndEnded()
    {
        EXPECT_EQ(WaitForExit(setup), 0);
        EXPECT_TRUE(FolderEntries(temp).empty());
    }
};

} // namespace

TEST_F(InstallRun, FilesInSubFoldersAreInstalledAndTheLogNamesExactlyThem)
{
    WriteDated(std::string(Destination) + "data\\settings.ini", "[newer]\r\n", 2030);
    StartInstall();
    HWND prompt = WaitForNewerCopyQuestion();
    ASSERT_TRUE(prompt);
    SaveScreenshot("install-newer-copy");
    EXPECT_EQ(ControlText(prompt, IDC_NEWER_PATH), std::string(Destination) + "data\\settings.ini");
    EXPECT_EQ(ControlText(prompt, IDC_NEWER_DISK), "15/6/2030 - 0.01 KB.");
    const std::string package = ControlText(prompt, IDC_NEWER_PACKAGE);
    EXPECT_NE(package.find(" - 0.02 KB."), std::string::npos) << package;
    const double filled = BarFilled();
    EXPECT_GT(filled, 0.1) << "the bar follows the bytes done";
    EXPECT_LT(filled, 0.3);
    const Rgb firstBanner = BannerSample();
    EXPECT_FALSE(firstBanner == (Rgb{0, 0, 255})) << "the first banner shows from the start of the install";
    ASSERT_TRUE(PressButton(prompt, IDC_NEWER_KEEP));
    for (int i = 0; i < 100 && WindowText(wizard) != "Setup completed"; i++)
        Sleep(100);
    const Rgb secondBanner = BannerSample();
    EXPECT_FALSE(secondBanner == firstBanner) << "the second banner follows half-way";
    EXPECT_FALSE(secondBanner == (Rgb{0, 0, 255}));
    ExpectFinishedAndEnd();

    const std::map<std::string, Bytes> tree = Tree(Destination);
    for (const char* name : PackageFiles) {
        if (std::string(name) != "data\\settings.ini") {
            EXPECT_EQ(tree.at(name), ReadFileBytes(PackageSource(name))) << name;
        }
    }
    EXPECT_EQ(tree.at("data\\settings.ini"), (Bytes{'[', 'n', 'e', 'w', 'e', 'r', ']', '\r', '\n'}))
        << "Keep leaves the newer copy";
    // The entry from the start; each folder's staging folder before its files.
    const std::string entry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Engine Test 1.0 QX001";
    std::vector<std::string> expected = {std::string(Destination) + "QXUn000.uqx", entry};
    std::string staged;
    for (const char* name : PackageFiles) {
        std::string folder = Destination + std::string(name);
        folder.erase(folder.rfind('\\') + 1);
        if (folder + "~q001\\new" != staged)
            expected.push_back(staged = folder + "~q001\\new");
        if (std::string(name) != "data\\settings.ini")
            expected.push_back(Destination + std::string(name));
    }
    EXPECT_EQ(LoggedPaths(std::string(Destination) + "QXUn001.uqx"), expected);
    char text[1024] = "";
    DWORD size = sizeof text;
    RegGetValueA(HKEY_LOCAL_MACHINE, entry.c_str(), "UninstallString", RRF_RT_REG_SZ, NULL, text, &size);
    EXPECT_EQ(std::string(text), "\"" + std::string(Destination) + "QXUn000.uqx\" \"" + Destination + "QXUn001.uqx\"");
    EXPECT_EQ(tree.size(), std::size(PackageFiles) + 2u) << "the files, the uninstaller and the log";
}

TEST_F(InstallRun, OverwriteReplacesTheNewerCopyAndAbortWithYesRollsEverythingBack)
{
    WriteDated(std::string(Destination) + "data\\settings.ini", "[newer]\r\n", 2030);
    WriteDated(std::string(Destination) + "bin\\tool.bin", "an older tool", 2020);
    WriteDated(std::string(Destination) + "notes.txt", "the user's own", 2024);
    const std::map<std::string, Bytes> before = Tree(Destination);

    StartInstall();
    HWND prompt = WaitForNewerCopyQuestion();
    ASSERT_TRUE(PressButton(prompt, IDC_NEWER_OVERWRITE));
    ExpectFinishedAndEnd();
    EXPECT_EQ(Tree(Destination).at("data\\settings.ini"), ReadFileBytes(PackageSource("data/settings.ini")));
    EXPECT_EQ(FolderEntries(Destination).size(), 8u) << "no older copy stays after a completed install";

    ScratchFolder::Remove(Destination);
    WriteDated(std::string(Destination) + "data\\settings.ini", "[newer]\r\n", 2030);
    WriteDated(std::string(Destination) + "bin\\tool.bin", "an older tool", 2020);
    WriteDated(std::string(Destination) + "notes.txt", "the user's own", 2024);
    StartInstall();
    prompt = WaitForNewerCopyQuestion();
    ASSERT_TRUE(PressButtonLater(prompt, IDCANCEL));
    ASSERT_TRUE(AnswerMessageBox(setup, ExitQuestion, IDNO));
    prompt = WaitForNewerCopyQuestion();
    ASSERT_TRUE(prompt) << "No asks about the same file again";
    ASSERT_TRUE(PressButtonLater(prompt, IDCANCEL));
    ASSERT_TRUE(AnswerMessageBox(setup, ExitQuestion, IDYES));
    ExpectAbortedAndEnded();
    EXPECT_EQ(Tree(Destination), before) << "the rollback leaves the folder as it was";
}

TEST_F(InstallRun, CopyErrorsOfferAbortRetryIgnoreAndCancelAnsweredNoGoesOn)
{
    const std::string tool = std::string(Destination) + "bin\\tool.bin";
    const std::string manual = std::string(Destination) + "docs\\guide\\manual.txt";
    WriteDated(tool, "an older tool", 2020);
    WriteDated(manual, "an older manual", 2020);
    WriteDated(std::string(Destination) + "data\\settings.ini", "[newer]\r\n", 2030);
    // Another program holds both older copies without sharing them.
    HANDLE toolHolder = CreateFileA(tool.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    HANDLE manualHolder = CreateFileA(manual.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(toolHolder, INVALID_HANDLE_VALUE);
    ASSERT_NE(manualHolder, INVALID_HANDLE_VALUE);
    StartInstall();
    ASSERT_TRUE(AnswerMessageBox(setup, "Cannot copy file:\n" + tool + "\n", IDABORT));
    ASSERT_TRUE(AnswerMessageBox(setup, ExitQuestion, IDNO));
    ASSERT_TRUE(AnswerMessageBox(setup, "Cannot copy file:\n" + tool + "\n", IDRETRY))
        << "No tries the same file again, which is still held";
    Sleep(300);
    CloseHandle(toolHolder);
    ASSERT_TRUE(AnswerMessageBox(setup, "Cannot copy file:\n" + tool + "\n", IDRETRY));
    ASSERT_TRUE(AnswerMessageBox(setup, "Cannot copy file:\n" + manual + "\n", IDIGNORE));
    CloseHandle(manualHolder);
    // Cancel pressed while the next question is open counts when that file is done.
    HWND prompt = WaitForNewerCopyQuestion();
    ASSERT_TRUE(prompt);
    HWND progress = WaitForWindow(setup, "#32770", "Dialog");
    ASSERT_TRUE(progress);
    PostMessageA(progress, WM_COMMAND, IDCANCEL, 0);
    Sleep(200);
    ASSERT_TRUE(PressButtonLater(prompt, IDC_NEWER_KEEP));
    ASSERT_TRUE(AnswerMessageBox(setup, ExitQuestion, IDNO));
    ExpectFinishedAndEnd();
    const std::map<std::string, Bytes> tree = Tree(Destination);
    EXPECT_EQ(tree.at("bin\\tool.bin"), ReadFileBytes(PackageSource("bin/tool.bin"))) << "Retry installed it";
    const std::string olderManual = "an older manual";
    EXPECT_EQ(tree.at("docs\\guide\\manual.txt"), Bytes(olderManual.begin(), olderManual.end())) << "Ignore passed it over";
}

namespace {

// A package of the typical texts (every slot "Slot <n>") without the group
// step, whose data block is given.
Bytes PackageWithData(const Bytes& data)
{
    const char* stub = getenv("QI_SETUP_STUB");
    Bytes exe = stub ? ReadFileBytes(stub) : Bytes();
    PackageParts parts;
    parts.script = TypicalScript();
    parts.data = data;
    parts.flags = 0;
    parts.fileSectionLength = (uint32_t)data.size();
    AppendPackage(exe, parts);
    return exe;
}

Bytes DataBlock(uint16_t count, const std::vector<FileEntry>& files)
{
    Bytes data;
    PutU16(data, count);
    for (const FileEntry& f : files)
        PutFileRecord(data, f);
    PutU16(data, 0);
    PutU16(data, 0);
    return data;
}

FileEntry File(const char* name, int16_t root = 0)
{
    FileEntry f;
    f.root = root;
    f.relativeName = name;
    f.body = Bytes{'x'};
    return f;
}

} // namespace

TEST_F(InstallRun, DamagedFileRecordsStopTheInstallWithTheCorruptionMessage)
{
    const std::string folder = "C:\\Program files\\Slot 30\\";
    Bytes cutShort = DataBlock(3, {File("\\u.exe"), File("\\a.txt"), File("\\b.bin")});
    cutShort.resize(cutShort.size() - 6); // the last body runs past the end of the block
    const Bytes damaged[] = {
        DataBlock(3, {File("\\u.exe"), File("\\a.txt"), File("\\c.txt", 3)}), // an unknown root folder
        DataBlock(0x8000, {File("\\u.exe")}),                                 // a count of 32768
        cutShort,
        DataBlock(3, {File("\\u.exe"), File("\\a.txt"), File("\\")}),          // no file name
        // names that would leave their folder
        DataBlock(3, {File("\\u.exe"), File("\\a.txt"), File("\\..\\..\\escaped.txt")}),
        DataBlock(3, {File("\\u.exe"), File("\\a.txt"), File("\\a/../../../slash.txt")}),
    };
    for (const Bytes& data : damaged) {
        SCOPED_TRACE(&data - damaged);
        ScratchFolder::Remove(folder);
        const std::string exe = work / "damaged.exe";
        WriteFileBytes(exe, PackageWithData(data));
        wizard = StartTypicalAndInstall(setup, exe, temp);
        ASSERT_TRUE(wizard) << "no Ready step to install from";
        EXPECT_TRUE(AnswerMessageBox(setup, "Slot 38", IDOK));
        ExpectAbortedAndEnded();
        EXPECT_FALSE(FileExists(folder)) << "the rollback takes the destination folder";
        EXPECT_FALSE(FileExists("C:\\escaped.txt") || FileExists("C:\\slash.txt"));
    }
}

TEST_F(InstallRun, FullDiskEndsInTheCopyErrorAndAbortLeavesTheDiskEmpty)
{
    ULARGE_INTEGER free = {}, total = {};
    if (!GetDiskFreeSpaceExA("Q:\\", &free, &total, NULL) || total.QuadPart > 2000000)
        GTEST_SKIP() << "no small disk Q: (a tmpfs mount needs root)";
    ASSERT_TRUE(StartAndAgree(setup, "engine", temp));
    wizard = WaitForWindow(setup, "#32770", "Welcome");
    ASSERT_TRUE(wizard);
    ASSERT_TRUE(PressButton(wizard, IDC_NEXT));
    ASSERT_TRUE(PressButton(wizard, IDC_NEXT));
    ASSERT_TRUE(PressButtonLater(wizard, IDC_BROWSE));
    HWND chooser = WaitForWindow(setup, "#32770", "Destination folder");
    ASSERT_TRUE(chooser);
    ASSERT_TRUE(TypeText(chooser, 1152, "Q:\\Tamberlny"));
    ASSERT_TRUE(PressButtonLater(chooser, IDOK));
    EXPECT_TRUE(AnswerMessageBox(
        setup, "There is not enough free space on the chosen disk. Please choose another folder.", IDOK));
    Sleep(300);
    EXPECT_EQ(ControlText(wizard, IDC_DESTINATION_PATH), "Q:\\Engine Test 1.0");
    ASSERT_TRUE(PressButton(wizard, IDC_NEXT));
    ASSERT_EQ(WindowText(wizard), "Ready to install");
    ASSERT_TRUE(PressButtonLater(wizard, IDC_NEXT));
    ASSERT_TRUE(AnswerMessageBox(setup, "Cannot copy file:\nQ:\\Engine Test 1.0\\big.bin\n", IDABORT));
    ASSERT_TRUE(AnswerMessageBox(setup, ExitQuestion, IDYES));
    ExpectAbortedAndEnded();
    const std::map<std::string, Bytes> left = Tree("Q:\\");
    EXPECT_TRUE(left.empty()) << "the rollback leaves the disk as it was: " << (left.empty() ? "" : left.begin()->first);
}

namespace {

const char DemoEntry[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QInstall Demo 1.0 QX001";

// A link's target, icon and icon index, read back through the link object.
std::string LinkFacts(const std::string& link)
{
    CoInitialize(NULL);
    IShellLinkA* shellLink = nullptr;
    IPersistFile* file = nullptr;
    std::string facts;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&shellLink)) &&
        SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, (void**)&file)) &&
        SUCCEEDED(file->Load(Utf16(link).c_str(), STGM_READ))) {
        char target[MAX_PATH] = "", icon[MAX_PATH] = "";
        int index = 0;
        shellLink->GetPath(target, MAX_PATH, NULL, 0);
        shellLink->GetIconLocation(icon, MAX_PATH, &index);
        facts = std::string(target) + " | " + icon + "," + std::to_string(index);
    }
    if (file)
        file->Release();
    if (shellLink)
        shellLink->Release();
    return facts;
}

} // namespace

// The demo product packed with LZMA: the uninstall tests install the same
// product packed the package's own way.
TEST_F(InstallRun, DemoProductInstallsItsEntryLinksAndRegistryValues)
{
    RemoveDemoInstall();
    // The user has a link of that name already: the install replaces it and
    // logs it, as a file it replaces (a rollback would put the user's back).
    const std::string desktopLink = ShellFolder("Desktop") + "QInstall Demo Manual.lnk";
    WriteDated(desktopLink, "the user's own link", 2020);
    ASSERT_TRUE(StartAndAgree(setup, "demo_lzma", temp));
    wizard = WalkDemoToInstall(setup);
    ASSERT_TRUE(wizard);
    ExpectFinishedAndEnd();

    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, DemoEntry, "DisplayName"), "QInstall Demo 1.0");
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, DemoEntry, "UninstallString"),
              "\"" + std::string(DemoFolder) + "QXUn000.uqx\" \"" + DemoFolder + "QXUn001.uqx\"");
    // What the list of installed programs shows beside the name.
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, DemoEntry, "InstallLocation"), DemoFolder);
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, DemoEntry, "DisplayIcon"), std::string(DemoFolder) + "bin\\hello.cmd,0");
    const char* const numbered[] = {"EstimatedSize", "NoModify", "NoRepair"};
    DWORD numbers[3] = {};
    for (int i = 0; i < 3; i++) {
        DWORD size = sizeof numbers[i];
        RegGetValueA(HKEY_LOCAL_MACHINE, DemoEntry, numbered[i], RRF_RT_REG_DWORD, NULL, &numbers[i], &size);
    }
    EXPECT_GE(numbers[0], 1u) << "KB of the product's files";
    EXPECT_EQ(numbers[1], 1u);
    EXPECT_EQ(numbers[2], 1u);
    EXPECT_EQ(LinkFacts(ShellFolder("Programs") + "QInstall Demo\\QInstall Demo.lnk"),
              std::string(DemoFolder) + "bin\\hello.cmd | " + DemoFolder + "bin\\hello.cmd,0");
    EXPECT_EQ(LinkFacts(desktopLink),
              std::string(DemoFolder) + "docs\\manual.txt | C:\\windows\\system32\\shell32.dll,23");
    const std::vector<std::string> logged = LoggedPaths(std::string(DemoFolder) + "QXUn001.uqx");
    EXPECT_EQ(std::count(logged.begin(), logged.end(), ShellFolder("Programs") + "QInstall Demo\\QInstall Demo.lnk"), 1);
    EXPECT_EQ(std::count(logged.begin(), logged.end(), desktopLink), 1);
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, "Software\\QInstall Demo", "Version"), "1.0");
    DWORD installs = 0, size = sizeof installs;
    RegGetValueA(HKEY_CURRENT_USER, "Software\\QInstall Demo", "Installs", RRF_RT_REG_DWORD, NULL, &installs, &size);
    EXPECT_EQ(installs, 1u);
    RemoveDemoInstall();
}
