// The harness's own controls work on windows of this process just as on a
// setup program's, so they are checked here against a window built for it.
#include "driver/window_driver.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

enum { EDIT_ID = 100, LIST_ID = 101, BUTTON_ID = 102 };

std::vector<std::pair<int, int>> Notifications; // control id and code, as the parent saw them

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        Notifications.push_back({LOWORD(wParam), HIWORD(wParam)});
    return DefWindowProcA(window, message, wParam, lParam);
}

struct TestWindow : ::testing::Test {
    HWND parent = NULL;

    void SetUp() override
    {
        WNDCLASSA c = {};
        c.lpfnWndProc = ParentProc;
        c.hInstance = GetModuleHandleA(NULL);
        c.lpszClassName = "HarnessTest";
        RegisterClassA(&c);
        parent = CreateWindowA("HarnessTest", "Harness", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, NULL, NULL,
                               c.hInstance, NULL);
        Child("EDIT", EDIT_ID, WS_VISIBLE);
        HWND list = Child("LISTBOX", LIST_ID, WS_VISIBLE | LBS_NOTIFY);
        for (const char* item : {"Accessories", "Demo", "Games"})
            SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)item);
        Child("BUTTON", BUTTON_ID, WS_DISABLED);
        Notifications.clear();
    }
    void TearDown() override { DestroyWindow(parent); }

    HWND Child(const char* type, int id, DWORD style)
    {
        return CreateWindowA(type, "", WS_CHILD | style, 10, 10 + 40 * (id - EDIT_ID), 200, 30, parent,
                             (HMENU)(INT_PTR)id, GetModuleHandleA(NULL), NULL);
    }

    bool Saw(int id, int code) const
    {
        for (const auto& n : Notifications)
            if (n.first == id && n.second == code)
                return true;
        return false;
    }
};

} // namespace

TEST_F(TestWindow, TypesIntoAnEditWithItsChangeNotification)
{
    ASSERT_TRUE(TypeText(parent, EDIT_ID, "C:\\Program Files\\Demo"));
    EXPECT_EQ(ControlText(parent, EDIT_ID), "C:\\Program Files\\Demo");
    EXPECT_TRUE(Saw(EDIT_ID, EN_CHANGE));
    EXPECT_FALSE(TypeText(parent, 999, "x"));
}

TEST_F(TestWindow, SelectsAndDoubleClicksListItems)
{
    ASSERT_TRUE(SelectListItem(parent, LIST_ID, "Demo"));
    EXPECT_EQ(SendMessageA(GetDlgItem(parent, LIST_ID), LB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(Saw(LIST_ID, LBN_SELCHANGE));
    EXPECT_FALSE(Saw(LIST_ID, LBN_DBLCLK));
    ASSERT_TRUE(DoubleClickListItem(parent, LIST_ID, "Games"));
    EXPECT_TRUE(Saw(LIST_ID, LBN_DBLCLK));
    EXPECT_FALSE(SelectListItem(parent, LIST_ID, "Office"));
}

TEST_F(TestWindow, ReadsVisibilityAndEnabledState)
{
    EXPECT_TRUE(IsControlVisible(parent, EDIT_ID));
    EXPECT_TRUE(IsControlEnabled(parent, EDIT_ID));
    EXPECT_FALSE(IsControlVisible(parent, BUTTON_ID));
    EXPECT_FALSE(IsControlEnabled(parent, BUTTON_ID));
    EXPECT_FALSE(IsControlVisible(parent, 999));
}

TEST(Harness, TimeOutsEndWaitsForWindowsThatNeverCome)
{
    RunningProgram self;
    self.id = GetCurrentProcessId();
    const DWORD start = GetTickCount();
    EXPECT_EQ(WaitForWindow(self, "NoSuchClass", nullptr, 300), (HWND)NULL);
    EXPECT_FALSE(AnswerMessageBox(self, "never shown", IDOK, 300));
    EXPECT_LT(GetTickCount() - start, 5000u);
}
