#include "banner_message.h"
#include "shared.h"

int LoadBannerPicture(const char* path, HBITMAP* bitmap)
{
    *bitmap = (HBITMAP)LoadImageA(NULL, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE);
    return *bitmap != NULL;
}

void ReplaceBannerPicture(HBITMAP bitmap, const int32_t placement[4])
{
    SendMessageA(BackgroundWindow, WM_REPLACE_BANNER, (WPARAM)bitmap, (LPARAM)placement);
}
