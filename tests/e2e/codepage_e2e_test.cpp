// Setup programs on systems whose ANSI code page is not 1252. CTest runs
// each suite under the locale it names (LC_ALL), which sets Wine's code page.
#include "driver/scratch_folder.h"
#include "driver/window_driver.h"
#include <gtest/gtest.h>
#include <stdlib.h>

namespace {

std::string PackageFolder()
{
    const char* folder = getenv("QI_E2E_PACKAGES");
    return folder ? folder : "";
}

std::string Ansi(const std::wstring& text)
{
    char buffer[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, buffer, sizeof buffer, NULL, NULL);
    return buffer;
}

struct CodePageRun : ::testing::Test {
    ScratchFolder work{"e2e-codepage"};
    std::string temp = work / "temp\\";
    RunningProgram setup;

    void SetUp() override
    {
        ASSERT_FALSE(PackageFolder().empty()) << "QI_E2E_PACKAGES names the folder of the test packages";
        CreateDirectoryA(temp.c_str(), NULL);
    }
    void TearDown() override
    {
        if (setup.process)
            WaitForExit(setup, 1);
    }

    // Copies a file of the packages folder to a wide path.
    bool CopyPackageFile(const char* name, const std::wstring& to) const
    {
        return CopyFileW(Utf16(PackageFolder() + "/" + name).c_str(), to.c_str(), FALSE) != 0;
    }

    // Runs a setup whose banner travels beside it, placed in the named folder
    // under the named file, and looks for the banner on the background.
    void ExpectBannerBesideFound(const std::wstring& folderName, const std::wstring& exeName)
    {
        const std::wstring folder = Utf16(work / "") + folderName;
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), NULL)) << "error " << GetLastError();
        const std::wstring exe = folder + L"\\" + exeName, banner = folder + L"\\banner.bmp";
        ASSERT_TRUE(CopyPackageFile("banner_beside.exe", exe));
        ASSERT_TRUE(CopyPackageFile("banner.bmp", banner));
        ASSERT_TRUE(StartProgram(setup, exe, temp));
        HWND question = WaitForWindow(setup, "#32770", "Setup");
        ASSERT_TRUE(question) << "no question";
        ASSERT_TRUE(PressButton(question, IDYES));
        HWND background = WaitForWindow(setup, "INSTALL", nullptr);
        ASSERT_TRUE(background);
        Sleep(300); // let it paint
        SaveScreenshot("codepage-" + std::to_string(GetACP()) + "-banner-beside");
        const RECT client = ClientOnScreen(background);
        const int w = client.right - client.left, h = client.bottom - client.top;
        const Rgb inside = PixelAt(CaptureScreen(), client.left + w * 85 / 100, client.top + h * 70 / 100);
        EXPECT_GT(inside.r, 100) << "the banner beside the setup was not found";
        PostMessageA(background, WM_CLOSE, 0, 0);
        EXPECT_EQ(WaitForExit(setup), 0);
        DeleteFileW(exe.c_str());
        DeleteFileW(banner.c_str());
        RemoveDirectoryW(folder.c_str());
    }
};

} // namespace

// A setup whose folder the code page cannot spell reaches the files beside
// it through the folder's short name.
TEST_F(CodePageRun, WesternSetupFindsThePictureBesideItInAFolderItCannotSpell)
{
    ASSERT_EQ(GetACP(), 1252u) << "run under a Western locale";
    ExpectBannerBesideFound(Utf16("Установка"), L"setup.exe");
}

// In code page 932, U+8868 is 0x95 0x5C and U+30BD is 0x83 0x5C: the second
// byte of each is a backslash to a byte-wise walk.
TEST_F(CodePageRun, JapaneseSetupFindsThePictureBesideItInAFolderOfTrailBackslashes)
{
    ASSERT_EQ(GetACP(), 932u) << "run under a Japanese locale";
    ExpectBannerBesideFound(Utf16("表ソ"), Utf16("ソフト.exe"));
}

TEST_F(CodePageRun, RussianSetupAsksInRussian)
{
    ASSERT_EQ(GetACP(), 1251u) << "run under a Russian locale";
    ASSERT_TRUE(StartProgram(setup, PackageFolder() + "/russian.exe", temp));
    HWND question = WaitForWindow(setup, "#32770", Ansi(Utf16("Установка")).c_str());
    ASSERT_TRUE(question) << "no question captioned in Russian";
    EXPECT_EQ(MessageBoxText(question), Ansi(Utf16("Установить «Пример 1.0» на этот компьютер?")));
    SaveScreenshot("codepage-1251-question");
    ASSERT_TRUE(PressButton(question, IDNO));
    EXPECT_EQ(WaitForExit(setup), 0);
}
