// The full-screen background: a solid colour or a gradient, the product's
// title, a footer line and the banner picture.
#pragma once
#include <stdint.h>
#include <windows.h>

extern HWND BackgroundWindow;

void RegisterBackgroundClass(HINSTANCE instance);
// Creates the window and shows it maximized; 0 when it cannot be created.
int CreateBackgroundWindow(HINSTANCE instance);

// 1 and the bitmap when the file loads as a picture, else 0.
int LoadBannerPicture(const char* path, HBITMAP* bitmap);
// The first picture, before the window exists.
void SelectBannerPicture(HBITMAP bitmap, const int32_t placement[4]);
// A new picture while the window shows, from any thread: the user-interface
// thread takes it over between two paints, releases the picture it replaces
// and repaints the old and the new area. The placement is copied.
void ReplaceBannerPicture(HBITMAP bitmap, const int32_t placement[4]);
