#include "background_geometry.h"

Band GradientBand(const Box& client, int k)
{
    const int32_t height = (client.bottom - client.top) / GRADIENT_BANDS;
    return Band{k * height, (k + 1) * height, (uint8_t)(k == 0 ? 255 : 256 - k)};
}

int32_t GradientBlackTop(const Box& client)
{
    return client.bottom / GRADIENT_BANDS * (GRADIENT_BANDS - 1);
}

// A percentage of a size, where the percentage comes from the package: kept
// inside 32 bits whatever its value.
static int32_t Percent(int32_t percentUnit, int32_t percent)
{
    const int64_t v = (int64_t)percentUnit * percent;
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : (int32_t)v;
}

Box BannerRectangle(const Box& client, const int32_t placement[4])
{
    Box d;
    d.left = Percent(client.right / 100, placement[0]);
    d.right = Percent(client.right / 100, placement[2]);
    d.top = Percent(client.bottom / 100, placement[1]);
    d.bottom = Percent(client.bottom / 100, placement[3]);
    if (d.right <= d.left)
        d.right = client.right;
    if (d.top >= d.bottom)
        d.bottom = client.bottom;
    return d;
}

int32_t FooterFontHeight(const Box& client)
{
    return client.right / 55;
}

Point FooterPosition(const Box& client, int32_t textWidth, int32_t textHeight)
{
    return Point{client.right - client.right / 20 - textWidth, client.bottom - client.bottom / 30 - textHeight};
}

int32_t TitleFontHeight(const Box& client)
{
    return client.right / 20;
}

int32_t TitleFontWidth(const Box& client)
{
    return client.right / 50;
}

Point TitlePosition(const Box& client)
{
    return Point{client.left + client.right / 25, client.top + client.bottom / 30};
}
