#include "drawn_controls.h"

void CreateProgressBar(ProgressBar& bar, HWND dialog, int controlId)
{
    HWND control = GetDlgItem(dialog, controlId);
    RECT r = {0, 0, 0, 0};
    GetWindowRect(control, &r);
    MapWindowPoints(NULL, dialog, (POINT*)&r, 2);
    DestroyWindow(control);
    bar.model = NewProgressModel(Box{r.left, r.top, r.right, r.bottom});
    bar.owner = dialog;
    bar.textColour = PALETTERGB(0, 0, 0);
    bar.backgroundBrush = CreateSolidBrush(PALETTERGB(255, 255, 0));
    bar.barBrush = CreateSolidBrush(PALETTERGB(0, 0, 255));
}

void SetProgressRange(ProgressBar& bar, uint32_t low, uint32_t high)
{
    bar.model.low = low;
    bar.model.high = high;
}

int SetProgressPosition(ProgressBar& bar, uint32_t position)
{
    const ProgressMove move = MoveProgress(bar.model, position);
    if (move == PROGRESS_MOVED && bar.owner) {
        const Box& f = bar.model.frame;
        const RECT frame = {f.left, f.top, f.right, f.bottom};
        InvalidateRect(bar.owner, &frame, FALSE);
    }
    return move != PROGRESS_REFUSED;
}

static void PaintBar(const ProgressBar& bar, HDC dc)
{
    const Box& f = bar.model.frame;
    HGDIOBJ oldBrush = SelectObject(dc, bar.backgroundBrush);
    Rectangle(dc, f.left, f.top, f.right, f.bottom);
    SelectObject(dc, bar.barBrush);
    if (bar.model.fillEdge != f.left)
        Rectangle(dc, f.left, f.top, bar.model.fillEdge, f.bottom);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, bar.textColour);
    HFONT font = CreateFontA(f.bottom - f.top, 0, 0, 0, 600, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, "Arial");
    HGDIOBJ oldFont = SelectObject(dc, font);
    const int length = (int)strlen(bar.model.text);
    SIZE extent = {0, 0};
    GetTextExtentPoint32A(dc, bar.model.text, length, &extent);
    TextOutA(dc, ProgressTextX(f, extent.cx), f.top, bar.model.text, length);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldFont);
    DeleteObject(font);
}

void PaintProgressBar(const ProgressBar& bar)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(bar.owner, &paint);
    PaintBar(bar, dc);
    EndPaint(bar.owner, &paint);
}

void PlaceWindow(HWND window, int mode)
{
    RECT desktop, client;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetClientRect(window, &client);
    int32_t x, y;
    if (!PlacementOnDesktop(mode, Box{desktop.left, desktop.top, desktop.right, desktop.bottom},
                            Box{client.left, client.top, client.right, client.bottom}, x, y))
        return;
    SetWindowPos(window, HWND_TOP, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// Halftone stretching needs the brush origin set after it.
void StretchPicture(HDC dc, const RECT& area, HDC picture, int width, int height)
{
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, NULL);
    StretchBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, picture, 0, 0, width, height,
               SRCCOPY);
}
