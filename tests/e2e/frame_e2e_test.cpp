// From the user's yes to the background window: the initializing dialog, the
// temporary files, the banner, and the background's caption and colours.
// The setup programs come from qpack (make_packages.sh).
#include "harness.h"
#include "tests/common/scratch_folder.h"
#include <gtest/gtest.h>
#include <stdlib.h>

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
    void StartAndAgree(const char* name)
    {
        const char* folder = getenv("QI_E2E_PACKAGES");
        ASSERT_TRUE(folder) << "QI_E2E_PACKAGES names the folder of the test packages";
        ASSERT_TRUE(StartProgram(setup, std::string(folder) + "/" + name + ".exe", temp));
        HWND question = WaitForWindow(setup, "#32770", "Setup");
        ASSERT_TRUE(question) << "no confirmation question";
        ASSERT_TRUE(PressButton(question, IDYES));
    }

    HWND WaitForBackground()
    {
        HWND window = WaitForWindow(setup, "INSTALL", nullptr);
        EXPECT_TRUE(window) << "no background window";
        if (window)
            Sleep(300); // let it paint
        return window;
    }

    void CloseAndExpectExitCodeZero(HWND background)
    {
        PostMessageA(background, WM_CLOSE, 0, 0);
        EXPECT_EQ(WaitForExit(setup), 0);
    }

    bool InTemp(const char* name) const { return FileExists(temp + name); }
};

// A point of the background's client area, in screen pixels.
Rgb ClientPixel(const RgbPicture& screen, HWND window, int x, int y)
{
    const RECT client = ClientOnScreen(window);
    return PixelAt(screen, client.left + x, client.top + y);
}

bool ClientAreaHasColour(const RgbPicture& screen, HWND window, const RECT& area, Rgb colour)
{
    const RECT client = ClientOnScreen(window);
    for (int y = area.top; y < area.bottom; y++)
        for (int x = area.left; x < area.right; x++)
            if (PixelAt(screen, client.left + x, client.top + y) == colour)
                return true;
    return false;
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
    // all its steps, which the files of its later steps prove.
    for (int tries = 0; IsWindow(dialog) && tries < 400; tries++) {
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        Sleep(50);
    }
    HWND background = WaitForBackground();
    ASSERT_TRUE(background);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_TRUE(InTemp("~QXinwaw.wav"));
    for (const char* sheet : {"~Q0Sheet.bmp", "~Q1Sheet.bmp", "~Q2Sheet.bmp", "~Q3Sheet.bmp"})
        EXPECT_TRUE(InTemp(sheet)) << sheet;
    CloseAndExpectExitCodeZero(background);
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
    EXPECT_TRUE(InTemp("~QXinGbm.bmp"));
    const RgbPicture screen = CaptureScreen();
    const RECT client = ClientOnScreen(background);
    const int w = client.right - client.left, h = client.bottom - client.top;
    EXPECT_EQ(ClientPixel(screen, background, w * 35 / 100, h * 70 / 100), (Rgb{0, 0, 255})) << "a banner shows";
    CloseAndExpectExitCodeZero(background);
}

TEST_F(FrameRun, BannerThatIsNoPictureIsDroppedAndDeleted)
{
    StartAndAgree("banner_broken");
    HWND background = WaitForBackground();
    ASSERT_TRUE(background);
    EXPECT_FALSE(InTemp("~QXinGbm.bmp"));
    const RgbPicture screen = CaptureScreen();
    const RECT client = ClientOnScreen(background);
    EXPECT_EQ(ClientPixel(screen, background, (client.right - client.left) / 4, (client.bottom - client.top) * 2 / 5),
              (Rgb{0, 0, 255}));
    CloseAndExpectExitCodeZero(background);
}

TEST_F(FrameRun, BannerFromTheStartIsPaintedInItsPlaceAndItsFileDeleted)
{
    StartAndAgree("banner_start");
    HWND background = WaitForBackground();
    ASSERT_TRUE(background);
    SaveScreenshot("background-banner");
    EXPECT_FALSE(InTemp("~QXinGbm.bmp"));
    const RgbPicture screen = CaptureScreen();
    const RECT client = ClientOnScreen(background);
    const int w = client.right - client.left, h = client.bottom - client.top;
    // The banner's light gradient, where the green gradient would be dark.
    const Rgb inside = ClientPixel(screen, background, w * 85 / 100, h * 70 / 100);
    EXPECT_GT(inside.r, 100) << "no banner in the lower right";
    const Rgb outside = ClientPixel(screen, background, w * 25 / 100, h * 70 / 100);
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
    const RgbPicture screen = CaptureScreen();
    const RECT client = ClientOnScreen(background);
    const int w = client.right - client.left, h = client.bottom - client.top;
    EXPECT_EQ(ClientPixel(screen, background, w / 2, h / 2), (Rgb{0, 0, 255}));
    EXPECT_EQ(ClientPixel(screen, background, 2, h - 2), (Rgb{0, 0, 255}));
    const RECT title = {w / 25, h / 30, w / 2, h / 30 + w / 20};
    EXPECT_TRUE(ClientAreaHasColour(screen, background, title, Rgb{255, 255, 255})) << "no white title";
    EXPECT_TRUE(ClientAreaHasColour(screen, background, title, Rgb{0, 0, 0})) << "no black shadow";
    const RECT footer = {w / 2, h * 4 / 5, w, h};
    EXPECT_TRUE(ClientAreaHasColour(screen, background, footer, Rgb{255, 255, 255})) << "no footer";
    CloseAndExpectExitCodeZero(background);
}

TEST_F(FrameRun, BlueGradientRunsFromFullBlueToBlack)
{
    StartAndAgree("blue");
    HWND background = WaitForBackground();
    ASSERT_TRUE(background);
    SaveScreenshot("background-blue-gradient");
    const RgbPicture screen = CaptureScreen();
    const RECT client = ClientOnScreen(background);
    const int w = client.right - client.left, h = client.bottom - client.top, band = h / 256;
    const int x = w - 3; // right of the title, above the footer
    EXPECT_EQ(ClientPixel(screen, background, x, 0), (Rgb{0, 0, 255}));
    EXPECT_EQ(ClientPixel(screen, background, x, 128 * band), (Rgb{0, 0, 128}));
    EXPECT_EQ(ClientPixel(screen, background, x, h - 1), (Rgb{0, 0, 0}));
    CloseAndExpectExitCodeZero(background);
}

TEST_F(FrameRun, OtherStylesGiveARedGradient)
{
    StartAndAgree("red");
    HWND background = WaitForBackground();
    ASSERT_TRUE(background);
    const RgbPicture screen = CaptureScreen();
    const RECT client = ClientOnScreen(background);
    const int w = client.right - client.left, h = client.bottom - client.top;
    EXPECT_EQ(ClientPixel(screen, background, w - 3, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(ClientPixel(screen, background, w - 3, h - 1), (Rgb{0, 0, 0}));
    CloseAndExpectExitCodeZero(background);
}
