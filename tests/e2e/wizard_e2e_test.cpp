// The wizard as a user walks it: the six steps with their captions, controls
// and buttons, the destination folder and its disk space, the Start-menu
// group, cancelling, and what follows Finish. The Start-menu's Programs
// folder is a scratch folder of the test's own.
#include "driver/scratch_folder.h"
#include "driver/window_driver.h"
#include "res/resource_ids.h"
#include <gtest/gtest.h>
#include <algorithm>

namespace {

// Controls of the folder chooser: the system dialog's file-name field, and
// the name field of the setup's template inside it.
enum { BROWSE_FILE_NAME = 1152 };

const std::vector<int> WelcomeControls = {1013, 1014, 1015, 1053};
const std::vector<int> LicenseControls = {1016, 1017, 1002, 1054};
const std::vector<int> DestinationControls = {1018, 1019, 1020, 1021, 1024, 1004, 1022, 1023};
const std::vector<int> GroupControls = {1034, 1035, 1008, 1033};
const std::vector<int> ReadyControls = {1046};
const std::vector<int> FinishControls = {1025, 1026};

// What the system's own wizard calls its buttons: Wine's wizard sheet. Its
// Finish button is called as the setup's default one.
const char SystemBack[] = "< &Back", SystemNext[] = "&Next >", SystemFinish[] = "Finish";

const char ProductFolder[] = "C:\\Program files\\Wizard Test 1.0\\";
const char NoGroupFolder[] = "C:\\Program files\\No Group 1.0\\";
const char CancelQuestion[] = "Setup is not complete. Do you want to exit setup?";
const char FolderQuestion[] =
    "The destination folder exists already. Do you want to install into it anyway?";
const char GroupQuestion[] = "Setup cannot create shortcuts in this Start menu folder. Continue without them?";

const char ShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string ReadPrograms()
{
    char value[MAX_PATH] = "";
    DWORD size = sizeof value;
    RegGetValueA(HKEY_CURRENT_USER, ShellFolders, "Programs", RRF_RT_REG_SZ, NULL, value, &size);
    return value;
}

void WritePrograms(const std::string& folder)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, ShellFolders, "Programs", REG_SZ, folder.c_str(), (DWORD)folder.size() + 1);
}

// The text of a size the way the Destination step writes it.
bool IsSizeText(const std::string& text)
{
    const size_t dot = text.find('.');
    return dot != std::string::npos && dot > 0 && text.size() == dot + 6 &&
           std::all_of(text.begin(), text.begin() + dot, ::isdigit) && isdigit((unsigned char)text[dot + 1]) &&
           (text.compare(dot + 2, 4, " KB.") == 0 || text.compare(dot + 2, 4, " MB.") == 0);
}

struct WizardRun : ::testing::Test {
    ScratchFolder work{"e2e-wizard"};
    std::string temp = work / "temp\\";
    std::string programs = work / "Programs";
    std::string savedPrograms = ReadPrograms();
    RunningProgram setup;
    HWND wizard = NULL;

    void SetUp() override
    {
        CreateDirectoryA(temp.c_str(), NULL);
        CreateDirectoryA(programs.c_str(), NULL);
        CreateDirectoryA((programs + "\\Games").c_str(), NULL);
        CreateDirectoryA((programs + "\\Accessories").c_str(), NULL);
        WritePrograms(programs);
        ScratchFolder::Remove(ProductFolder);
        ScratchFolder::Remove(NoGroupFolder);
        RemoveUninstallEntries("Wizard Test 1.0");
        RemoveUninstallEntries("No Group 1.0");
    }
    void TearDown() override
    {
        if (setup.process)
            WaitForExit(setup, 1);
        WritePrograms(savedPrograms);
        EndProcessesOf("explorer.exe", programs);
        ScratchFolder::Remove(ProductFolder);
        ScratchFolder::Remove(NoGroupFolder);
        RemoveUninstallEntries("Wizard Test 1.0");
        RemoveUninstallEntries("No Group 1.0");
    }

    // Starts a package built from packages/<name>.toml(.in), answers its
    // question with yes and waits for the wizard's Welcome step.
    void Start(const char* name)
    {
        ASSERT_TRUE(StartAndAgree(setup, name, temp)) << "no confirmation question";
        wizard = WaitForWindow(setup, "#32770", "Welcome");
        ASSERT_TRUE(wizard) << "no wizard on its Welcome step";
    }

    // What the user sees once the windows have painted.
    void Shot(const char* name)
    {
        Sleep(500);
        SaveScreenshot(name);
    }

    void Press(int button) { ASSERT_TRUE(PressButton(wizard, button)); }
    // Presses a button whose click asks a question, and answers it.
    void PressAndAnswer(int button, const std::string& question, int answer)
    {
        ASSERT_TRUE(PressButtonLater(wizard, button));
        ASSERT_TRUE(AnswerMessageBox(setup, question, answer)) << "not asked: " << question;
        Sleep(200);
    }

    // The caption, the controls shown and the three buttons of one step.
    void ExpectStep(const char* caption, const std::vector<int>& shown, const char* next)
    {
        SCOPED_TRACE(caption);
        EXPECT_EQ(WindowText(wizard), caption);
        for (const std::vector<int>* step : {&WelcomeControls, &LicenseControls, &DestinationControls,
                                             &GroupControls, &ReadyControls, &FinishControls})
            for (int id : *step)
                EXPECT_EQ(IsControlVisible(wizard, id), step == &shown) << "control " << id;
        const bool welcome = &shown == &WelcomeControls, finish = &shown == &FinishControls;
        EXPECT_EQ(IsControlVisible(wizard, IDC_BACK), !welcome);
        if (!welcome) {
            EXPECT_EQ(ControlText(wizard, IDC_BACK), SystemBack);
        }
        EXPECT_EQ(IsControlEnabled(wizard, IDC_BACK), !finish);
        EXPECT_EQ(ControlText(wizard, IDC_NEXT), next);
        EXPECT_EQ(IsControlVisible(wizard, IDCANCEL), !finish);
        EXPECT_EQ(IsControlEnabled(wizard, IDCANCEL), !finish);
        if (!finish) {
            EXPECT_EQ(ControlText(wizard, IDCANCEL), "Cancel");
        }
    }

    // The colour of the picture column where no License control covers it
    // (between the License icon and the License instruction), and the colour
    // of the dialog's face.
    std::pair<Rgb, Rgb> PictureAndFace()
    {
        RECT icon, instruction, hiddenOk;
        GetWindowRect(GetDlgItem(wizard, IDC_LICENSE_ICON), &icon);
        GetWindowRect(GetDlgItem(wizard, IDC_LICENSE_INSTRUCTION), &instruction);
        GetWindowRect(GetDlgItem(wizard, IDOK), &hiddenOk);
        Sleep(300);
        const RgbPicture screen = CaptureScreen();
        return {PixelAt(screen, (icon.right + instruction.left) / 2, (icon.top + icon.bottom) / 2),
                PixelAt(screen, (hiddenOk.left + hiddenOk.right) / 2, (hiddenOk.top + hiddenOk.bottom) / 2)};
    }

    // The folder chooser the Browse button opens, with the setup's part of it.
    HWND OpenChooser()
    {
        EXPECT_TRUE(PressButtonLater(wizard, IDC_BROWSE));
        HWND chooser = WaitForWindow(setup, "#32770", "Destination folder");
        EXPECT_TRUE(chooser) << "no folder chooser";
        return chooser;
    }
    // Goes to a folder in the chooser, types the name of the folder to make
    // there and presses OK.
    void Choose(HWND chooser, const std::string& folder, const char* name)
    {
        HWND part = FindWindowExA(chooser, NULL, "#32770", NULL);
        ASSERT_TRUE(part) << "the chooser has no template part";
        if (name) {
            ASSERT_TRUE(TypeText(part, IDC_BROWSE_NAME, name));
        }
        ASSERT_TRUE(TypeText(chooser, BROWSE_FILE_NAME, folder + "Tamberlny"));
        ASSERT_TRUE(PressButtonLater(chooser, IDOK));
    }

    std::vector<std::string> ProgramsEntries() const
    {
        std::vector<std::string> names = FolderEntries(programs + "\\");
        std::sort(names.begin(), names.end());
        return names;
    }

    // The explorer processes started for a folder below the scratch Programs folder.
    std::vector<std::string> ExplorersOfPrograms() const { return CommandLinesOf("explorer.exe", programs); }

    void FinishAndExpectExitCodeZero()
    {
        Press(IDC_NEXT);
        EXPECT_EQ(WaitForExit(setup), 0);
    }
};

} // namespace

// Enter on the Welcome step presses Next, as on the others.
TEST_F(WizardRun, StepsFollowTheStateTableForwardAndBackWithTheGroupStep)
{
    Start("wizard");
    Shot("wizard-1-welcome");
    ExpectStep("Welcome", WelcomeControls, SystemNext);
    const Rgb welcomePicture = PictureAndFace().first;

    ASSERT_TRUE(PressEnter(wizard));
    for (int i = 0; i < 50 && WindowText(wizard) == "Welcome"; i++)
        Sleep(100);
    Shot("wizard-2-license");
    ExpectStep("License agreement", LicenseControls, "I &Agree");
    EXPECT_EQ(ControlText(wizard, IDC_LICENSE_TEXT), "The licence of Wizard Test.");
    const std::pair<Rgb, Rgb> license = PictureAndFace();
    EXPECT_EQ(license.first, license.second) << "the License step draws no picture";
    EXPECT_FALSE(welcomePicture == license.second) << "the Welcome step shows its picture there";

    Press(IDC_NEXT);
    Shot("wizard-3-destination");
    ExpectStep("Choose destination folder", DestinationControls, SystemNext);
    EXPECT_EQ(ControlText(wizard, IDC_DESTINATION_PATH), ProductFolder);
    EXPECT_EQ(ControlText(wizard, IDC_REQUIRED_SIZE), "1.9 MB.");
    EXPECT_TRUE(IsSizeText(ControlText(wizard, IDC_AVAILABLE_SIZE))) << ControlText(wizard, IDC_AVAILABLE_SIZE);
    EXPECT_FALSE(FileExists(ProductFolder)) << "the proposal leaves nothing on the disk";

    Press(IDC_NEXT);
    Shot("wizard-4-group");
    ExpectStep("Choose item for Start menu", GroupControls, SystemNext);
    EXPECT_EQ(ControlText(wizard, IDC_GROUP_NAME), "Wizard Test 1.0");
    EXPECT_EQ(ListItems(wizard, IDC_GROUP_LIST), (std::vector<std::string>{"Accessories", "Games"}));

    Press(IDC_NEXT);
    Shot("wizard-5-ready");
    ExpectStep("Ready to install", ReadyControls, "&Install");
    EXPECT_EQ(ProgramsEntries(), (std::vector<std::string>{"Accessories", "Games"}))
        << "the new group was only tried";

    const char* backwards[] = {"Choose item for Start menu", "Choose destination folder", "License agreement",
                               "Welcome"};
    for (const char* caption : backwards) {
        Press(IDC_BACK);
        EXPECT_EQ(WindowText(wizard), caption);
    }
    for (int i = 0; i < 5; i++)
        Press(IDC_NEXT);
    Shot("wizard-6-finish");
    ExpectStep("Setup completed", FinishControls, SystemFinish);
    EXPECT_FALSE(IsControlVisible(wizard, IDC_README)) << "no README was installed";
    Press(IDC_BACK);
    EXPECT_EQ(WindowText(wizard), "Setup completed");
    EXPECT_TRUE(FileExists(ProductFolder));
    EXPECT_TRUE(FileExists(programs + "\\Wizard Test 1.0"));

    FinishAndExpectExitCodeZero();
    const std::vector<std::string> explorers = ExplorersOfPrograms();
    ASSERT_EQ(explorers.size(), 1u) << "Explorer shows the group";
    EXPECT_EQ(explorers[0], "C:\\windows\\EXPLORER.EXE \"" + programs + "\\Wizard Test 1.0\\\"");
    EXPECT_TRUE(FolderEntries(temp).empty()) << "the temporary files stay behind";
}

TEST_F(WizardRun, WithoutTheGroupStepReadyFollowsDestinationAndARestartCanBeDeclined)
{
    Start("no_group");
    Sleep(300);
    EXPECT_EQ(WizardPictureSample(wizard), (Rgb{40, 120, 220})) << "the program's own picture in its middle band";
    Press(IDC_NEXT);
    Press(IDC_NEXT);
    EXPECT_EQ(ControlText(wizard, IDC_REQUIRED_SIZE), "1000.0 KB.");
    Press(IDC_NEXT);
    ExpectStep("Ready to install", ReadyControls, "&Install");
    Press(IDC_BACK);
    ExpectStep("Choose destination folder", DestinationControls, SystemNext);
    Press(IDC_NEXT);
    Press(IDC_NEXT);
    ExpectStep("Setup completed", FinishControls, SystemFinish);
    ASSERT_TRUE(PressButtonLater(wizard, IDC_NEXT));
    EXPECT_TRUE(AnswerMessageBox(
        setup, "Your computer must be restarted to complete the installation. Restart now?", IDNO));
    EXPECT_EQ(WaitForExit(setup), 0);
    EXPECT_TRUE(ExplorersOfPrograms().empty());
}

TEST_F(WizardRun, CancelAsksOnEveryStepAndYesEndsWithoutATrace)
{
    const char* captions[] = {"Welcome", "License agreement", "Choose destination folder",
                              "Choose item for Start menu", "Ready to install"};
    for (int step = 0; step < 5; step++) {
        SCOPED_TRACE(captions[step]);
        Start("wizard");
        for (int i = 0; i < step; i++)
            Press(IDC_NEXT);
        PressAndAnswer(IDCANCEL, CancelQuestion, IDNO);
        EXPECT_EQ(WindowText(wizard), captions[step]) << "No keeps the step";
        PressAndAnswer(IDCANCEL, CancelQuestion, IDYES);
        EXPECT_EQ(WaitForExit(setup), 0);
        EXPECT_FALSE(FileExists(ProductFolder));
        EXPECT_EQ(ProgramsEntries(), (std::vector<std::string>{"Accessories", "Games"}));
        EXPECT_TRUE(FolderEntries(temp).empty());
        EXPECT_TRUE(ExplorersOfPrograms().empty());
    }
}

TEST_F(WizardRun, ExistingProductFolderIsQuestionedUntilTheUserAgrees)
{
    ASSERT_TRUE(CreateDirectoryA(ProductFolder, NULL));
    Start("wizard");
    Press(IDC_NEXT);
    Press(IDC_NEXT);
    EXPECT_EQ(ControlText(wizard, IDC_DESTINATION_PATH), ProductFolder);
    PressAndAnswer(IDC_NEXT, FolderQuestion, IDNO);
    HWND chooser = WaitForWindow(setup, "#32770", "Destination folder");
    ASSERT_TRUE(chooser) << "No opens the folder chooser";
    ASSERT_TRUE(PressButton(chooser, IDCANCEL));
    Sleep(200);
    EXPECT_EQ(WindowText(wizard), "Choose destination folder");
    EXPECT_EQ(ControlText(wizard, IDC_DESTINATION_PATH), ProductFolder);
    PressAndAnswer(IDC_NEXT, FolderQuestion, IDYES);
    EXPECT_EQ(WindowText(wizard), "Choose item for Start menu");
}

TEST_F(WizardRun, BrowsingChoosesExistingNewAndLongFoldersAndRefusesOneThatCannotBeMade)
{
    const std::string parent = work / "parent\\";
    ASSERT_TRUE(CreateDirectoryA(parent.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA((parent + "Wizard Test 1.0").c_str(), NULL));
    Start("wizard");
    Press(IDC_NEXT);
    Press(IDC_NEXT);

    HWND chooser = OpenChooser();
    ASSERT_TRUE(chooser);
    Shot("wizard-3-destination-browse");
    Choose(chooser, parent, nullptr);
    ASSERT_TRUE(AnswerMessageBox(setup, FolderQuestion, IDYES)) << "the chosen folder exists";
    Sleep(200);
    EXPECT_EQ(ControlText(wizard, IDC_DESTINATION_PATH), parent + "Wizard Test 1.0");
    EXPECT_TRUE(IsSizeText(ControlText(wizard, IDC_AVAILABLE_SIZE)));

    // A new folder at the end of a long path shows its last 30 characters.
    const std::string deep = parent + "a folder with a rather long name\\";
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), NULL));
    chooser = OpenChooser();
    ASSERT_TRUE(chooser);
    Choose(chooser, deep, "New Product");
    Sleep(500);
    const std::string chosen = deep + "New Product";
    EXPECT_EQ(ControlText(wizard, IDC_DESTINATION_PATH), chosen.substr(chosen.size() - 30));
    EXPECT_FALSE(FileExists(chosen)) << "the new folder was only tried";

    chooser = OpenChooser();
    ASSERT_TRUE(chooser);
    Choose(chooser, parent, "no<such>name");
    ASSERT_TRUE(AnswerMessageBox(setup, "Cannot create program folder!", IDOK));
    Sleep(200);
    EXPECT_EQ(ControlText(wizard, IDC_DESTINATION_PATH), chosen.substr(chosen.size() - 30)) << "the old choice stays";

    // The folder the user agreed to is not questioned again.
    chooser = OpenChooser();
    ASSERT_TRUE(chooser);
    Choose(chooser, parent, nullptr);
    ASSERT_TRUE(AnswerMessageBox(setup, FolderQuestion, IDYES));
    Sleep(200);
    Press(IDC_NEXT);
    EXPECT_EQ(WindowText(wizard), "Choose item for Start menu");
    EXPECT_EQ(FolderEntries(deep).size(), 0u);
}

TEST_F(WizardRun, GroupListMovesIntoSubFoldersAndBackWithDotDot)
{
    Start("wizard");
    for (int i = 0; i < 3; i++)
        Press(IDC_NEXT);
    EXPECT_EQ(ListItems(wizard, IDC_GROUP_LIST), (std::vector<std::string>{"Accessories", "Games"}));
    ASSERT_TRUE(DoubleClickListItem(wizard, IDC_GROUP_LIST, "Games"));
    EXPECT_EQ(ListItems(wizard, IDC_GROUP_LIST), (std::vector<std::string>{".."}));
    EXPECT_EQ(ControlText(wizard, IDC_GROUP_NAME), "\\Games\\Wizard Test 1.0");
    ASSERT_TRUE(DoubleClickListItem(wizard, IDC_GROUP_LIST, ".."));
    EXPECT_EQ(ListItems(wizard, IDC_GROUP_LIST), (std::vector<std::string>{"Accessories", "Games"}));
    EXPECT_EQ(ControlText(wizard, IDC_GROUP_NAME), "Wizard Test 1.0");
    PressAndAnswer(IDCANCEL, CancelQuestion, IDYES);
    EXPECT_EQ(WaitForExit(setup), 0);
}

TEST_F(WizardRun, ExistingGroupIsTakenAsItIsAndExplorerShowsIt)
{
    Start("wizard");
    for (int i = 0; i < 3; i++)
        Press(IDC_NEXT);
    ASSERT_TRUE(TypeText(wizard, IDC_GROUP_NAME, "Games"));
    Press(IDC_NEXT);
    EXPECT_EQ(WindowText(wizard), "Ready to install");
    Press(IDC_NEXT);
    EXPECT_EQ(ProgramsEntries(), (std::vector<std::string>{"Accessories", "Games"}));
    FinishAndExpectExitCodeZero();
    EXPECT_EQ(ExplorersOfPrograms(),
              (std::vector<std::string>{"C:\\windows\\EXPLORER.EXE \"" + programs + "\\Games\\\""}));
}

TEST_F(WizardRun, TwoNewGroupLevelsAskAndYesGoesOnWithoutAGroup)
{
    Start("wizard");
    for (int i = 0; i < 3; i++)
        Press(IDC_NEXT);
    ASSERT_TRUE(TypeText(wizard, IDC_GROUP_NAME, "New1\\New2"));
    PressAndAnswer(IDC_NEXT, std::string(GroupQuestion) + "\n( \\New1\\New2 )", IDNO);
    EXPECT_EQ(WindowText(wizard), "Choose item for Start menu");
    EXPECT_EQ(ControlText(wizard, IDC_GROUP_NAME), "Wizard Test 1.0") << "No starts the choice afresh";
    ASSERT_TRUE(TypeText(wizard, IDC_GROUP_NAME, "New1\\New2"));
    PressAndAnswer(IDC_NEXT, std::string(GroupQuestion) + "\n( \\New1\\New2 )", IDYES);
    EXPECT_EQ(WindowText(wizard), "Ready to install");
    Press(IDC_NEXT);
    FinishAndExpectExitCodeZero();
    EXPECT_EQ(ProgramsEntries(), (std::vector<std::string>{"Accessories", "Games"}));
    EXPECT_TRUE(ExplorersOfPrograms().empty()) << "no group, no Explorer";
}

TEST_F(WizardRun, DestinationThatCannotBeMadeAtTheStartIsReportedAndChosenAgain)
{
    const std::string parent = work / "vanishing\\";
    ASSERT_TRUE(CreateDirectoryA(parent.c_str(), NULL));
    Start("wizard");
    Press(IDC_NEXT);
    Press(IDC_NEXT);
    HWND chooser = OpenChooser();
    ASSERT_TRUE(chooser);
    Choose(chooser, parent, "Product");
    Sleep(500);

    // A group made for the install goes again; one that was there stays.
    for (const char* group : {"Fresh", "Games"}) {
        SCOPED_TRACE(group);
        Press(IDC_NEXT);
        ASSERT_EQ(WindowText(wizard), "Choose item for Start menu");
        // The group step has left the chosen folder's parent, which can go now.
        RemoveDirectoryA(parent.c_str());
        ASSERT_FALSE(FileExists(parent));
        ASSERT_TRUE(TypeText(wizard, IDC_GROUP_NAME, group));
        Press(IDC_NEXT);
        ASSERT_EQ(WindowText(wizard), "Ready to install");
        PressAndAnswer(IDC_NEXT, "Cannot create program folder!", IDOK);
        EXPECT_EQ(WindowText(wizard), "Choose destination folder");
        EXPECT_EQ(ProgramsEntries(), (std::vector<std::string>{"Accessories", "Games"}));
    }
    PressAndAnswer(IDCANCEL, CancelQuestion, IDYES);
    EXPECT_EQ(WaitForExit(setup), 0);
}
