// The README choice of the Finish step and what follows it: the wizard runs
// in this process with a package whose install leaves a README, and the test
// walks it to the end and looks at the programs it starts.
#include "base/folders.h"
#include "base/shared.h"
#include "driver/scratch_folder.h"
#include "driver/window_driver.h"
#include "engine/shared.h"
#include "package/load_package.h"
#include "package/package_writer.h"
#include "package/settings_readers.h"
#include "package/shared.h"
#include "package/string_table.h"
#include "res/resource_ids.h"
#include "wizard/shared.h"
#include "wizard/wizard_host.h"
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
    const std::string readme = std::string(ProductFolder) + "read me.txt";
    Bytes script, data;
    RunningProgram self;
    HANDLE host = NULL;
    HWND wizard = NULL;

    void SetUp() override
    {
        Instance = GetModuleHandleA(NULL);
        FillWindowsDir();
        self.id = GetCurrentProcessId();
        ScratchFolder::Remove(ProductFolder);
        Package.settings.GroupStepEnabled = 0;
        SetupCompleted = ReadmeWanted = 0;
        Choices.readme[0] = 0;
    }
    void TearDown() override
    {
        if (host) {
            WaitForSingleObject(host, 20000);
            CloseHandle(host);
        }
        EndProcessesOf("notepad.exe", readme);
        ScratchFolder::Remove(ProductFolder);
        RemoveUninstallEntries("");
    }

    // A package of the uninstaller and a README, whose install sets the
    // README's path, then the wizard on a thread of its own.
    void StartWizard(const char* readmeBoxText)
    {
        std::vector<std::string> texts(63);
        texts[4] = "Welcome";
        texts[7] = "Setup completed";
        texts[25] = readmeBoxText;
        texts[30] = "QI Closing Test";
        script.clear();
        PutStringTable(script, texts);
        const size_t settings = script.size();
        for (int i = 0; i < 2; i++)
            PutCommandRecord(script, i == 0 ? COMMAND_UNINSTALL_1 : COMMAND_UNINSTALL_2, CommandData{});
        for (int i = 0; i < 2; i++)
            PutCommandRecord(script, COMMAND_INSTALL, CommandData{});
        ParseSetupStrings(script.data(), script.size());
        SettingsCursor = CursorOver(script.data() + settings, script.size() - settings);
        FileEntry uninstaller, notes;
        uninstaller.relativeName = "\\u.exe";
        uninstaller.body = Bytes{'M', 'Z'};
        notes.kind = FILE_README;
        notes.relativeName = "\\read me.txt";
        notes.body = Bytes{'r', 'e', 'a', 'd'};
        data.clear();
        PutU16(data, 2);
        PutFileRecord(data, uninstaller);
        PutFileRecord(data, notes);
        Package.settings.FileSectionLength = (uint32_t)data.size();
        PutU16(data, 0);
        PutU16(data, 0);
        Package.data = data.data();
        Package.dataSize = (uint32_t)data.size();
        host = CreateThread(NULL, 0, RunHost, NULL, 0, NULL);
        wizard = WaitForWindow(self, "#32770", "Welcome");
        ASSERT_TRUE(wizard);
    }

    // Welcome, License, Destination, Ready (no group step), Install.
    void GoToFinish()
    {
        for (int i = 0; i < 3; i++)
            ASSERT_TRUE(PressButton(wizard, IDC_NEXT));
        ASSERT_TRUE(PressButtonLater(wizard, IDC_NEXT));
        for (int i = 0; i < 100 && WindowText(wizard) != "Setup completed"; i++)
            Sleep(100);
        ASSERT_EQ(WindowText(wizard), "Setup completed");
        EXPECT_EQ(std::string(Choices.readme), readme) << "the install marks its README";
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
