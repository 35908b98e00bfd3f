// The background window's banner picture, changed from any thread by a
// message to the window: the install changes it, the window paints it.
#pragma once
#include <stdint.h>
#include <windows.h>

// wParam the new bitmap or null, lParam its placement (int32_t[4], copied).
// The user-interface thread takes the bitmap over between two paints,
// releases the picture it replaces and repaints the old and the new area.
enum { WM_REPLACE_BANNER = WM_APP + 1 };

// 1 and the bitmap when the file loads as a picture, else 0.
int LoadBannerPicture(const char* path, HBITMAP* bitmap);
// Sends WM_REPLACE_BANNER to the background window.
void ReplaceBannerPicture(HBITMAP bitmap, const int32_t placement[4]);
