#include "size_text.h"

// Tenths of KB or MB of any count up to the cap fit 32 bits, so the program
// needs no 64-bit division; the rounding is exact, where floating point
// would round twice.
static const uint64_t SizeCap = (1ull << 48) - 1;

// bytes / 2^shift with one decimal (scale 10) or two (scale 100); the end of
// the text.
static char* PutScaled(char* p, uint64_t bytes, int shift, uint32_t scale)
{
    const uint32_t whole = (uint32_t)(bytes >> shift), rest = (uint32_t)(bytes & ((1u << shift) - 1));
    const uint32_t scaled = whole * scale + ((rest * scale + (1u << (shift - 1))) >> shift);
    char digits[12];
    int n = 0;
    for (uint32_t w = scaled / scale; n == 0 || w; w /= 10)
        digits[n++] = (char)('0' + w % 10);
    while (n)
        *p++ = digits[--n];
    *p++ = '.';
    for (uint32_t unit = scale / 10, fraction = scaled % scale; unit; unit /= 10) {
        *p++ = (char)('0' + fraction / unit);
        fraction %= unit;
    }
    *p = 0;
    return p;
}

void FormatSizeText(char* out, uint64_t bytes)
{
    if (bytes > SizeCap)
        bytes = SizeCap;
    const int mega = bytes > 1000ull * 1024;
    char* p = PutScaled(out, bytes, mega ? 20 : 10, 10);
    *p++ = ' ';
    *p++ = mega ? 'M' : 'K';
    *p++ = 'B';
    *p++ = '.';
    *p = 0;
}

void FormatKilobytes(char* out, uint32_t bytes)
{
    PutScaled(out, bytes, 10, 100);
}
