// From the user's yes to the background window: the initializing dialog, the
// temporary files, the banner, and the background's caption and colours.
// The setup programs come from qpack (make_packages.sh).
#include "driver/scratch_folder.h"
#include "driver/window_driver.h"
#include <gtest/gtest.h>
#include <algorithm>

namespace {

const int CANCEL_BUTTON = 2, OK_BUTTON = 1, INIT_TEXT = 1012;

struct FrameRun : ::testing::Test {
    ScratchFolder work{"e2e-frame"};
    std::string temp = work / "temp\\";
    RunningProgram setup;

    void SetUp() override { CreateDirectoryA(temp.c_str(), NULL); }
    void TearDown() override
    {
        if (setup.process)
            WaitForExit(setup, 1);
    }

    // Starts a package built from packages/<name>.toml and answers its question with yes.
    void StartAndAgree(const char* name) { StartAndAgree(setup, name); }
    void StartAndAgree(RunningProgram& program, const char* name)
    {
        ASSERT_TRUE(::StartAndAgree(program, name, temp)) << "no confirmation question";
    }

    HWND WaitForBackground() { return WaitForBackground(setup); }
    HWND WaitForBackground(const RunningProgram& program)
    {
        HWND window = WaitForWindow(program, "INSTALL", nullptr);
        EXPECT_TRUE(window) << "no background window";
        if (window)
            Sleep(300); // let it paint
        return window;
    }

    void CloseAndExpectExitCodeZero(HWND background) { CloseAndExpectExitCodeZero(setup, background); }
    void CloseAndExpectExitCodeZero(RunningProgram& program, HWND background)
    {
        PostMessageA(background, WM_CLOSE, 0, 0);
        EXPECT_EQ(WaitForExit(program), 0);
    }

    // The setups' own folders in the temporary folder, each ending in a backslash.
    std::vector<std::string> PrivateFolders() const
    {
        std::vector<std::string> folders;
        for (const std::string& name : FolderEntries(temp))
            if (name.compare(0, 2, "~Q") == 0 && (GetFileAttributesA((temp + name).c_str()) & FILE_ATTRIBUTE_DIRECTORY))
                folders.push_back(temp + name + "\\");
        return folders;
    }

    // Whether the one running setup's private folder holds the file.
    bool Extracted(const char* name) const
    {
        const std::vector<std::string> folders = PrivateFolders();
        return folders.size() == 1 && FileExists(folders[0] + name);
    }

    std::vector<std::string> FilesIn(const std::string& folder) const
    {
        std::vector<std::string> names = FolderEntries(folder);
        std::sort(names.begin(), names.end());
        return names;
    }
};

// The wizard has loaded the four sheet pictures and deleted their files by
// the time the background shows; the sound plays on.
const std::vector<std::string> InitFiles = {"~QXinwaw.wav"};

// Whether the wizard's Welcome step shows a picture of the package rather
// than the program's own, whose colours are few and known.
bool ShowsPackagePicture(HWND wizard)
{
    const Rgb ownColours[] = {{0, 70, 170}, {40, 120, 220}, {110, 170, 240}, {255, 255, 255},
                              {255, 200, 0}, {200, 140, 0},  {20, 30, 70},    {0, 0, 0}};
    const Rgb at = WizardPictureSample(wizard);
    return std::find(std::begin(ownColours), std::end(ownColours), at) == std::end(ownColours);
}

// The screen as it stands, seen through a window's client area.
struct ClientShot {
    RgbPicture screen;
    RECT client;
    int w, h;

    Rgb At(int x, int y) const { return PixelAt(screen, client.left + x, client.top + y); }

    bool HasColour(const RECT& area, Rgb colour) const
    {
        for (int y = area.top; y < area.bottom; y++)
            for (int x = area.left; x < area.right; x++)
                if (At(x, y) == colour)
                    return true;
        return false;
    }
};

ClientShot CaptureClient(HWND window)
{
    ClientShot shot{CaptureScreen(), ClientOnScreen(window), 0, 0};
    shot.w = shot.client.right - shot.client.left;
    shot.h = shot.client.bottom - shot.client.top;
    return shot;
}

} // namespace

TEST_F(FrameRun, InitializingDialogRunsAllItsStepsAndLeavesTheTemporaryFiles)
{
    StartAndAgree("init");
    HWND dialog = WaitForWindow(setup, "#32770", "Preparing Init Test");
    ASSERT_TRUE(dialog) << "no initializing dialog captioned with string slot 9";
    EXPECT_EQ(ControlText(dialog, INIT_TEXT), "Unpacking the pictures of Init Test.");
    EXPECT_FALSE(IsControlVisible(dialog, OK_BUTTON));
    EXPECT_FALSE(IsControlVisible(dialog, CANCEL_BUTTON));
    EXPECT_FALSE(IsControlEnabled(dialog, CANCEL_BUTTON));
    SaveScreenshot("initializing-dialog");
    // Alt+F4, again and again while the dialog shows: it must still go through
    // all its steps, which the pictures of its later steps in the wizard prove.
    for (int tries = 0; IsWindow(dialog) && tries < 400; tries++) {
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        Sleep(50);
    }
    HWND background = WaitForBackground();
    ASSERT_TRUE(background);
    EXPECT_FALSE(IsWindow(dialog));
    HWND wizard = WaitForWindow(setup, "#32770", "Welcome");
    ASSERT_TRUE(wizard);
    EXPECT_TRUE(ShowsPackagePicture(wizard)) << "the sheet pictures were not extracted";
    const std::vector<std::string> folders = PrivateFolders();
    ASSERT_EQ(folders.size(), 1u) << "the files go to one private folder";
    EXPECT_EQ(FilesIn(folders[0]), InitFiles);
    EXPECT_EQ(FolderEntries(temp).size(), 1u) << "nothing beside the private folder";
    CloseAndExpectExitCodeZero(background);
    EXPECT_TRUE(FolderEntries(temp).empty()) << "the private folder stays behind";
}

TEST_F(FrameRun, TwoSetupsAtOnceKeepTheirOwnPictures)
{
    StartAndAgree("init");
    HWND first = WaitForBackground();
    ASSERT_TRUE(first);
    RunningProgram second;
    StartAndAgree(second, "init");
    HWND secondBackground = WaitForBackground(second);
    ASSERT_TRUE(secondBackground);
    std::vector<std::string> folders = PrivateFolders();
    ASSERT_EQ(folders.size(), 2u);
    for (const std::string& folder : folders)
        EXPECT_EQ(FilesIn(folder), InitFiles) << folder;
    CloseAndExpectExitCodeZero(second, secondBackground);
    const std::vector<std::string> left = PrivateFolders();
    ASSERT_EQ(left.size(), 1u) << "the second setup took its folder with it";
    EXPECT_EQ(FilesIn(left[0]), InitFiles) << "the first setup's pictures are intact";
    CloseAndExpectExitCodeZero(first);
    EXPECT_TRUE(FolderEntries(temp).empty());
}

TEST_F(FrameRun, InitializingDialogIsCentred)
{
    StartAndAgree("init");
    HWND dialog = WaitForWindow(setup, "#32770", "Preparing Init Test");
    ASSERT_TRUE(dialog);
    RECT r, desktop;
    GetWindowRect(dialog, &r);
    GetWindowRect(GetDesktopWindow(), &desktop);
    EXPECT_NEAR((r.left + r.right) / 2, desktop.right / 2, 10);
    EXPECT_NEAR((r.top + r.bottom) / 2, desktop.bottom / 2, 20);
    HWND background = WaitForBackground();
    ASSERT_TRUE(background);
    CloseAndExpectExitCodeZero(background);
}

TEST_F(FrameRun, BannerForTheInstallWaitsInTheTemporaryFolder)
{
    StartAndAgree("banner_later");
    HWND background = WaitForBackground();
    ASSERT_TRUE(background);
    EXPECT_TRUE(Extracted("~QXinGbm.bmp"));
    const ClientShot shot = CaptureClient(background);
    const int w = shot.w, h = shot.h;
    EXPECT_EQ(shot.At(w * 15 / 100, h * 85 / 100), (Rgb{0, 0, 255})) << "a banner shows";
    CloseAndExpectExitCodeZero(background);
}

TEST_F(FrameRun, BannerThatIsNoPictureIsDroppedAndDeleted)
{
    StartAndAgree("banner_broken");
    HWND background = WaitForBackground();
    ASSERT_TRUE(background);
    EXPECT_FALSE(Extracted("~QXinGbm.bmp"));
    const ClientShot shot = CaptureClient(background);
    EXPECT_EQ(shot.At(shot.w / 4, shot.h * 2 / 5), (Rgb{0, 0, 255}));
    CloseAndExpectExitCodeZero(background);
}

TEST_F(FrameRun, BannerFromTheStartIsPaintedInItsPlaceAndItsFileDeleted)
{
    StartAndAgree("banner_start");
    HWND background = WaitForBackground();
    ASSERT_TRUE(background);
    SaveScreenshot("background-banner");
    EXPECT_FALSE(Extracted("~QXinGbm.bmp"));
    const ClientShot shot = CaptureClient(background);
    const int w = shot.w, h = shot.h;
    // The banner's light gradient, where the green gradient would be dark.
    const Rgb inside = shot.At(w * 85 / 100, h * 70 / 100);
    EXPECT_GT(inside.r, 100) << "no banner in the lower right";
    const Rgb outside = shot.At(w * 25 / 100, h * 70 / 100);
    EXPECT_EQ(outside.r, 0);
    CloseAndExpectExitCodeZero(background);
}

TEST_F(FrameRun, DefaultBackgroundIsSolidBlueWithTheTitleAtTheUpperLeft)
{
    StartAndAgree("solid");
    HWND background = WaitForBackground();
    ASSERT_TRUE(background);
    EXPECT_EQ(WindowText(background), "Setup - Solid Blue 1.0");
    EXPECT_TRUE(IsZoomed(background));
    SaveScreenshot("background-solid");
    const ClientShot shot = CaptureClient(background);
    const int w = shot.w, h = shot.h;
    EXPECT_EQ(shot.At(w / 8, h / 2), (Rgb{0, 0, 255})); // beside the wizard
    EXPECT_EQ(shot.At(2, h - 2), (Rgb{0, 0, 255}));
    const RECT title = {w / 25, h / 30, w / 2, h / 30 + w / 20};
    EXPECT_TRUE(shot.HasColour(title, Rgb{255, 255, 255})) << "no white title";
    EXPECT_TRUE(shot.HasColour(title, Rgb{0, 0, 0})) << "no black shadow";
    const RECT footer = {w / 2, h * 4 / 5, w, h};
    EXPECT_TRUE(shot.HasColour(footer, Rgb{255, 255, 255})) << "no footer";
    CloseAndExpectExitCodeZero(background);
}

TEST_F(FrameRun, BlueGradientRunsFromFullBlueToBlack)
{
    StartAndAgree("blue");
    HWND background = WaitForBackground();
    ASSERT_TRUE(background);
    SaveScreenshot("background-blue-gradient");
    const ClientShot shot = CaptureClient(background);
    const int w = shot.w, h = shot.h, band = h / 256;
    const int x = w - 3; // right of the title, above the footer
    EXPECT_EQ(shot.At(x, 0), (Rgb{0, 0, 255}));
    EXPECT_EQ(shot.At(x, 128 * band), (Rgb{0, 0, 128}));
    EXPECT_EQ(shot.At(x, h - 1), (Rgb{0, 0, 0}));
    CloseAndExpectExitCodeZero(background);
}

TEST_F(FrameRun, OtherStylesGiveARedGradient)
{
    StartAndAgree("red");
    HWND background = WaitForBackground();
    ASSERT_TRUE(background);
    const ClientShot shot = CaptureClient(background);
    const int w = shot.w, h = shot.h;
    EXPECT_EQ(shot.At(w - 3, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(shot.At(w - 3, h - 1), (Rgb{0, 0, 0}));
    CloseAndExpectExitCodeZero(background);
}
