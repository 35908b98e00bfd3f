#include "size_text.h"

// Tenths of KB or MB of any count up to the cap fit 32 bits, so the program
// needs no 64-bit division; the rounding is exact, where floating point
// would round twice.
static const uint64_t SizeCap = (1ull << 48) - 1;

void FormatSizeText(char* out, uint64_t bytes)
{
    if (bytes > SizeCap)
        bytes = SizeCap;
    const int mega = bytes > 1000ull * 1024;
    const int shift = mega ? 20 : 10;
    const uint32_t whole = (uint32_t)(bytes >> shift), rest = (uint32_t)(bytes & ((1u << shift) - 1));
    const uint32_t tenths = whole * 10 + ((rest * 10 + (1u << (shift - 1))) >> shift);
    char digits[12];
    int n = 0;
    for (uint32_t w = tenths / 10; n == 0 || w; w /= 10)
        digits[n++] = (char)('0' + w % 10);
    char* p = out;
    while (n)
        *p++ = digits[--n];
    *p++ = '.';
    *p++ = (char)('0' + tenths % 10);
    *p++ = ' ';
    *p++ = mega ? 'M' : 'K';
    *p++ = 'B';
    *p++ = '.';
    *p = 0;
}
