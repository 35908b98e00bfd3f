// Writes 24-bit RGB pictures as PNG files (stored deflate blocks: no
// compression, any viewer reads them).
#pragma once
#include <stdint.h>
#include <string>
#include <vector>

struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // rows top to bottom, 3 bytes a pixel

    const uint8_t* At(int x, int y) const { return &rgb[((size_t)y * width + x) * 3]; }
};

bool WritePng(const std::string& path, const RgbPicture& picture);
