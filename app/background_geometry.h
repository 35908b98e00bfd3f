// The arithmetic of the background window's picture: gradient bands, banner
// placement, and where the texts go. Signed divisions truncating toward zero,
// so that every size follows the window.
#pragma once
#include "base/drawn_geometry.h"

enum { GRADIENT_BANDS = 256 };

struct Band {
    int32_t top, bottom;
    uint8_t intensity;
};

// Band k (0 to 255) of a gradient over the client area: full intensity at the
// top, falling by one a band. A client under 256 pixels high gives empty bands.
Band GradientBand(const Box& client, int k);

// The gradient ends in black from this row to the bottom: the last band and
// the rows the band height left over.
int32_t GradientBlackTop(const Box& client);

// The banner's rectangle from its placement in percent (left, top, right,
// bottom); an edge not beyond its opposite one means the client's edge.
Box BannerRectangle(const Box& client, const int32_t placement[4]);

struct Point {
    int32_t x, y;
};

int32_t FooterFontHeight(const Box& client);
Point FooterPosition(const Box& client, int32_t textWidth, int32_t textHeight);
int32_t TitleFontHeight(const Box& client);
int32_t TitleFontWidth(const Box& client);
Point TitlePosition(const Box& client);
enum { TITLE_SHADOW_OFFSET = 5 };
