// The README choice of the Finish step and what follows it: the wizard runs
// in this process with a README in place, as the install leaves it, and the
// test walks it to the end and looks at the programs it starts.
#include "app/folders.h"
#include "app/instance.h"
#include "package/load_package.h"
#include "package/package_writer.h"
#include "package/string_table.h"
#include "res/resource_ids.h"
#include "tests/common/scratch_folder.h"
#include "tests/e2e/harness.h"
#include "wizard/wizard_host.h"
#include "wizard/wizard_state.h"
#include <gtest/gtest.h>

namespace {

const char ProductFolder[] = "C:\\Program files\\QI Closing Test\\";

DWORD WINAPI RunHost(void*)
{
    HWND background = CreateWindowExA(0, "STATIC", "background", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    RunWizardHost(background);
    return 0;
}

struct ClosingActions : ::testing::Test {
    ScratchFolder work{"closing"};
    std::string readme = work / "read me.txt";
    Bytes script;
    RunningProgram self;
    HANDLE host = NULL;
    HWND wizard = NULL;

    void SetUp() override
    {
        Instance = GetModuleHandleA(NULL);
        FillWindowsDir();
        self.id = GetCurrentProcessId();
        HANDLE file = CreateFileA(readme.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        CloseHandle(file);
        Package.settings.GroupStepEnabled = 0;
        SetupCompleted = ReadmeWanted = 0;
        lstrcpynA(ReadmePath, readme.c_str(), PATH_SIZE);
    }
    void TearDown() override
    {
        if (host) {
            WaitForSingleObject(host, 20000);
            CloseHandle(host);
        }
        EndProcessesOf("notepad.exe", readme);
        RemoveDirectoryA(ProductFolder);
    }

    void StartWizard(const char* readmeBoxText)
    {
        std::vector<std::string> texts(63);
        texts[4] = "Welcome";
        texts[7] = "Setup completed";
        texts[25] = readmeBoxText;
        texts[30] = "QI Closing Test";
        script.clear();
        PutStringTable(script, texts);
        ParseSetupStrings(script.data(), script.size());
        host = CreateThread(NULL, 0, RunHost, NULL, 0, NULL);
        wizard = WaitForWindow(self, "#32770", "Welcome");
        ASSERT_TRUE(wizard);
    }

    // Welcome, License, Destination, Ready (no group step), Install.
    void GoToFinish()
    {
        for (int i = 0; i < 4; i++)
            ASSERT_TRUE(PressButton(wizard, IDC_NEXT));
        ASSERT_EQ(WindowText(wizard), "Setup completed");
    }

    void PressFinish()
    {
        ASSERT_TRUE(PressButton(wizard, IDC_NEXT));
        ASSERT_EQ(WaitForSingleObject(host, 20000), WAIT_OBJECT_0);
        Sleep(500); // for the program started last to show in the process list
    }

    std::vector<std::string> NotepadsOfReadme() const { return CommandLinesOf("notepad.exe", readme); }
};

} // namespace

TEST_F(ClosingActions, ReadmeIsOfferedCheckedAndOpensInNotepadAsOneQuotedArgument)
{
    StartWizard("Display README file.");
    GoToFinish();
    EXPECT_TRUE(IsControlVisible(wizard, IDC_README));
    EXPECT_TRUE(IsButtonChecked(wizard, IDC_README));
    EXPECT_EQ(ControlText(wizard, IDC_README), "Display README file.");
    PressFinish();
    EXPECT_EQ(ReadmeWanted, 1);
    const std::vector<std::string> notepads = NotepadsOfReadme();
    ASSERT_EQ(notepads.size(), 1u);
    // Notepad reads its argument in place and puts a terminator over the closing quote.
    const std::string quoted = std::string(WindowsDir) + "NOTEPAD.EXE \"" + readme;
    EXPECT_EQ(notepads[0].substr(0, quoted.size()), quoted);
    EXPECT_EQ(notepads[0].size(), quoted.size() + 1);
}

TEST_F(ClosingActions, UncheckedReadmeStaysClosed)
{
    StartWizard("Display README file.");
    GoToFinish();
    ASSERT_TRUE(PressButton(wizard, IDC_README));
    EXPECT_FALSE(IsButtonChecked(wizard, IDC_README));
    PressFinish();
    EXPECT_EQ(ReadmeWanted, 0);
    EXPECT_TRUE(NotepadsOfReadme().empty());
}

TEST_F(ClosingActions, WithoutATextForTheBoxTheReadmeIsNotOffered)
{
    StartWizard("");
    GoToFinish();
    EXPECT_FALSE(IsControlVisible(wizard, IDC_README));
    PressFinish();
    EXPECT_TRUE(NotepadsOfReadme().empty());
}

TEST_F(ClosingActions, ReadmeThatIsGoneByTheEndIsSkipped)
{
    StartWizard("Display README file.");
    GoToFinish();
    ASSERT_TRUE(DeleteFileA(readme.c_str()));
    PressFinish();
    EXPECT_EQ(ReadmeWanted, 1);
    EXPECT_TRUE(NotepadsOfReadme().empty());
}
