#include "background_window.h"
#include "app/background_geometry.h"
#include "base/banner_message.h"
#include "base/drawn_controls.h"
#include "base/shared.h"
#include "package/settings_readers.h"
#include "package/shared.h"
#include "package/string_table.h"
#include "res/resource_ids.h"
#include <string.h>

static_assert(sizeof(void*) != 4 || sizeof(WNDCLASSEXA) == 48, "the 32-bit window class record is 48 bytes");

namespace {

const char ClassName[] = "INSTALL";

// The picture is used by the user-interface thread only; other threads hand
// a new one over through WM_REPLACE_BANNER.
struct Banner {
    HDC dc;         // keeps the current picture selected
    HBITMAP bitmap; // null while there is no picture
    int32_t width, height;
    int32_t placement[4];
    Box dirty; // the area last painted, where a replaced picture must go
};

Banner Picture = {NULL, NULL, 0, 0, {0, 0, 0, 0}, {30000, 30000, 0, 0}};

} // namespace

void SelectBannerPicture(HBITMAP bitmap, const int32_t placement[4])
{
    if (!Picture.dc)
        Picture.dc = CreateCompatibleDC(NULL);
    SelectObject(Picture.dc, bitmap);
    // The replaced picture is no longer selected anywhere: it can go.
    if (Picture.bitmap && Picture.bitmap != bitmap)
        DeleteObject(Picture.bitmap);
    Picture.bitmap = bitmap;
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    Picture.width = info.bmWidth;
    Picture.height = info.bmHeight;
    memcpy(Picture.placement, placement, sizeof Picture.placement);
}

namespace {

Box ClientBox(HWND window)
{
    RECT r = {0, 0, 0, 0};
    GetClientRect(window, &r);
    return Box{r.left, r.top, r.right, r.bottom};
}

void RepaintReplacedBanner(HWND window)
{
    const Box d = BannerRectangle(ClientBox(window), Picture.placement);
    Box& dirty = Picture.dirty;
    dirty = Box{d.left < dirty.left ? d.left : dirty.left, d.top < dirty.top ? d.top : dirty.top,
                d.right > dirty.right ? d.right : dirty.right, d.bottom > dirty.bottom ? d.bottom : dirty.bottom};
    const RECT r = {dirty.left, dirty.top, dirty.right, dirty.bottom};
    InvalidateRect(window, &r, FALSE);
}

void FillBox(HDC dc, const Box& b, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    const RECT r = {b.left, b.top, b.right, b.bottom};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

COLORREF GradientColour(uint16_t style, uint8_t intensity)
{
    if (style == STYLE_BLUE)
        return PALETTERGB(0, 0, intensity);
    if (style == STYLE_GREEN)
        return PALETTERGB(0, intensity, 0);
    return PALETTERGB(intensity, 0, 0);
}

void PaintBackground(HDC dc, const Box& client)
{
    const Appearance& a = WindowAppearance;
    if (a.BackgroundStyle == STYLE_SOLID) {
        FillBox(dc, client, PALETTERGB(a.red, a.green, a.blue));
        return;
    }
    for (int k = 0; k < GRADIENT_BANDS; k++) {
        const Band band = GradientBand(client, k);
        FillBox(dc, Box{client.left, band.top, client.right, band.bottom},
                GradientColour(a.BackgroundStyle, band.intensity));
    }
    FillBox(dc, Box{client.left, GradientBlackTop(client), client.right, client.bottom}, PALETTERGB(0, 0, 0));
}

void PaintBanner(HDC dc, const Box& client)
{
    if (BannerCount == 0 || !Picture.bitmap)
        return;
    const Box d = BannerRectangle(client, Picture.placement);
    Picture.dirty = d;
    StretchPicture(dc, RECT{d.left, d.top, d.right, d.bottom}, Picture.dc, Picture.width, Picture.height);
}

HFONT TextFont(int height, int width, int weight, const char* face)
{
    return CreateFontA(height, width, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, face);
}

void PaintFooter(HDC dc, const Box& client)
{
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, WindowAppearance.TitleColour);
    HFONT font = TextFont(FooterFontHeight(client), 0, 600, "System");
    HGDIOBJ old = SelectObject(dc, font);
    const char* text = SetupString(SLOT_FOOTER);
    const int length = (int)strlen(text);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, length, &size);
    const Point at = FooterPosition(client, size.cx, size.cy);
    TextOutA(dc, at.x, at.y, text, length);
    SelectObject(dc, old);
    DeleteObject(font);
}

void PaintTitle(HDC dc, const Box& client)
{
    SetBkMode(dc, TRANSPARENT);
    HFONT font = TextFont(TitleFontHeight(client), TitleFontWidth(client), 900, "Arial");
    HGDIOBJ old = SelectObject(dc, font);
    const char* text = SetupString(SLOT_PRODUCT_TITLE);
    const int length = (int)strlen(text);
    const Point at = TitlePosition(client);
    SetTextColor(dc, WindowAppearance.ShadowColour);
    TextOutA(dc, at.x + TITLE_SHADOW_OFFSET, at.y + TITLE_SHADOW_OFFSET, text, length);
    SetTextColor(dc, WindowAppearance.TitleColour);
    TextOutA(dc, at.x, at.y, text, length);
    SelectObject(dc, old);
    DeleteObject(font);
}

void Paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const Box client = ClientBox(window);
    PaintBackground(dc, client);
    PaintBanner(dc, client);
    PaintFooter(dc, client);
    PaintTitle(dc, client);
    EndPaint(window, &paint);
}

// A click on the background does nothing: the dialogue runs once, from the
// window's creation, and a second run would read the settings records again.
LRESULT CALLBACK BackgroundProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_REPLACE_BANNER:
        SelectBannerPicture((HBITMAP)wParam, (const int32_t*)lParam);
        RepaintReplacedBanner(window);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

void RegisterBackgroundClass(HINSTANCE instance)
{
    WNDCLASSEXA c = {};
    c.cbSize = sizeof c;
    c.style = CS_HREDRAW | CS_VREDRAW;
    c.lpfnWndProc = BackgroundProc;
    c.hInstance = instance;
    c.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SETUP));
    c.hIconSm = c.hIcon;
    c.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    c.hbrBackground = (HBRUSH)(COLOR_APPWORKSPACE + 1);
    c.lpszClassName = ClassName;
    RegisterClassExA(&c);
}

int CreateBackgroundWindow(HINSTANCE instance)
{
    // The formatting stops at the buffer's 1024 bytes, which no title bar shows.
    char caption[1024];
    wsprintfA(caption, "%s - %s", SetupString(SLOT_SETUP_CAPTION), SetupString(SLOT_PRODUCT_TITLE));
    BackgroundWindow = CreateWindowExA(0, ClassName, caption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                                       NULL, NULL, instance, NULL);
    if (!BackgroundWindow)
        return 0;
    ShowWindow(BackgroundWindow, SW_SHOWMAXIMIZED);
    UpdateWindow(BackgroundWindow);
    return 1;
}
