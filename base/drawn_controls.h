// The setup's own progress bar, drawn over a placeholder control of a dialog,
// the placing of dialogs on the desktop, and pictures stretched to their
// places.
#pragma once
#include "drawn_geometry.h"
#include <windows.h>

struct ProgressBar {
    ProgressModel model;
    HWND owner; // null until the bar is created
    COLORREF textColour;
    HBRUSH backgroundBrush;
    HBRUSH barBrush;
};

// Takes the rectangle of the dialog's control and destroys the control; the
// bar is empty, with the range 0 to 100 and the default colours (black text on
// yellow, a blue bar).
void CreateProgressBar(ProgressBar& bar, HWND dialog, int controlId);
void SetProgressRange(ProgressBar& bar, uint32_t low, uint32_t high);
// 1 when the position lies in the range, else 0. Callable from any thread:
// it only changes the bar's fields and asks the owner to repaint.
int SetProgressPosition(ProgressBar& bar, uint32_t position);
// The owner's WM_PAINT, which holds nothing else to paint.
void PaintProgressBar(const ProgressBar& bar);

void PlaceWindow(HWND window, int mode);

// Draws a picture of its own size into a rectangle of another: with halftone
// stretching, which blends the rows and columns a shrunk picture loses
// where the device context's default mode would combine them into stripes.
void StretchPicture(HDC dc, const RECT& area, HDC picture, int width, int height);
