// The banner picture is replaced from another thread while the window paints.
#include "app/background_window.h"
#include "base/banner_message.h"
#include "base/drawn_controls.h"
#include "base/shared.h"
#include "package/package_writer.h"
#include "package/settings_readers.h"
#include "package/shared.h"
#include "package/string_table.h"
#include <gtest/gtest.h>

namespace {

HBITMAP SolidBitmap(COLORREF colour)
{
    HDC screen = GetDC(NULL);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(colour);
    const RECT all = {0, 0, 8, 8};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(NULL, screen);
    return bitmap;
}

bool IsDeleted(HBITMAP bitmap)
{
    BITMAP info;
    return GetObjectA(bitmap, sizeof info, &info) == 0;
}

struct Replacements {
    std::vector<HBITMAP> bitmaps;
    volatile LONG done;
};

DWORD WINAPI ReplaceAll(void* parameter)
{
    Replacements& r = *(Replacements*)parameter;
    const int32_t placement[4] = {50, 50, 100, 100};
    for (HBITMAP b : r.bitmaps)
        ReplaceBannerPicture(b, placement);
    InterlockedExchange(&r.done, 1);
    return 0;
}

void PumpUntil(volatile LONG& flag)
{
    while (!flag) {
        MSG m;
        while (PeekMessageA(&m, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
        InvalidateRect(BackgroundWindow, NULL, FALSE);
        UpdateWindow(BackgroundWindow);
    }
}

COLORREF ClientPixel(int xPercent, int yPercent)
{
    RECT client;
    GetClientRect(BackgroundWindow, &client);
    HDC dc = GetDC(BackgroundWindow);
    const COLORREF c = GetPixel(dc, client.right * xPercent / 100, client.bottom * yPercent / 100);
    ReleaseDC(BackgroundWindow, dc);
    return c;
}

} // namespace

TEST(BackgroundWindow, BannerReplacedFromAnotherThreadWhilePainting)
{
    static Bytes script;
    PutStringTable(script, {"", "Setup", "footer", "Title"});
    ParseSetupStrings(script.data(), script.size());
    BannerCount = 2;
    const int32_t first[4] = {0, 0, 50, 50};
    HBITMAP start = SolidBitmap(RGB(255, 0, 0));
    SelectBannerPicture(start, first);
    RegisterBackgroundClass(GetModuleHandleA(NULL));
    ASSERT_TRUE(CreateBackgroundWindow(GetModuleHandleA(NULL)));
    EXPECT_EQ(ClientPixel(25, 25), RGB(255, 0, 0));

    Replacements r;
    for (int i = 0; i < 40; i++)
        r.bitmaps.push_back(SolidBitmap(i % 2 ? RGB(0, 255, 0) : RGB(255, 255, 0)));
    r.done = 0;
    DWORD id;
    HANDLE worker = CreateThread(NULL, 0, ReplaceAll, &r, 0, &id);
    PumpUntil(r.done);
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);
    UpdateWindow(BackgroundWindow);

    EXPECT_TRUE(IsDeleted(start));
    for (size_t i = 0; i + 1 < r.bitmaps.size(); i++)
        EXPECT_TRUE(IsDeleted(r.bitmaps[i])) << i;
    EXPECT_FALSE(IsDeleted(r.bitmaps.back()));
    EXPECT_EQ(ClientPixel(75, 75), RGB(0, 255, 0));
    EXPECT_NE(ClientPixel(25, 25), RGB(255, 0, 0)) << "the old area was not repainted";
    DestroyWindow(BackgroundWindow);
}

// A picture shrunk to half its height keeps its colours: rows of red and
// blue become one of them or their blend, never the black of both combined.
TEST(PicturesDrawn, ShrunkRowsKeepTheirColours)
{
    HDC screen = GetDC(NULL);
    HDC source = CreateCompatibleDC(screen), target = CreateCompatibleDC(screen);
    HBITMAP rows = CreateCompatibleBitmap(screen, 8, 64), half = CreateCompatibleBitmap(screen, 8, 32);
    SelectObject(source, rows);
    SelectObject(target, half);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 8; x++)
            SetPixel(source, x, y, y % 2 ? RGB(255, 0, 0) : RGB(0, 0, 255));
    StretchPicture(target, RECT{0, 0, 8, 32}, source, 8, 64);
    for (int y = 0; y < 32; y += 7) {
        const COLORREF c = GetPixel(target, 3, y);
        EXPECT_GE(GetRValue(c) + GetBValue(c), 250) << y;
        EXPECT_EQ(GetGValue(c), 0) << y;
    }
    DeleteDC(source);
    DeleteDC(target);
    DeleteObject(rows);
    DeleteObject(half);
    ReleaseDC(NULL, screen);
}
