// The full-screen background: a solid colour or a gradient, the product's
// title, a footer line and the banner picture. Its handle is shared state
// (base/shared.h); a new banner reaches it as WM_REPLACE_BANNER.
#pragma once
#include <stdint.h>
#include <windows.h>

void RegisterBackgroundClass(HINSTANCE instance);
// Creates the window and shows it maximized; 0 when it cannot be created.
int CreateBackgroundWindow(HINSTANCE instance);

// The first picture, before the window exists.
void SelectBannerPicture(HBITMAP bitmap, const int32_t placement[4]);
