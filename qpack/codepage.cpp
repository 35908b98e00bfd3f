#include "codepage.h"
#include <stdint.h>

namespace {

// Windows-1252 bytes 0x80 to 0x9F; 0 marks the five bytes the code page leaves undefined.
// Bytes below 0x80 are ASCII and 0xA0 to 0xFF equal Unicode U+00A0 to U+00FF.
const uint16_t High1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

uint32_t CodePointOf1252(uint8_t byte)
{
    return byte >= 0x80 && byte < 0xA0 ? High1252[byte - 0x80] : byte;
}

int ByteOf1252(uint32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return (int)codePoint;
    for (int i = 0; i < 32; i++)
        if (High1252[i] && High1252[i] == codePoint)
            return 0x80 + i;
    return -1;
}

// The next code point of a UTF-8 text, or -1 for a malformed sequence.
long NextCodePoint(const std::string& s, size_t& i)
{
    const uint8_t lead = (uint8_t)s[i++];
    if (lead < 0x80)
        return lead;
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || i + extra > s.size())
        return -1;
    long c = lead & (0x3F >> extra);
    for (int k = 0; k < extra; k++) {
        const uint8_t next = (uint8_t)s[i++];
        if ((next & 0xC0) != 0x80)
            return -1;
        c = c << 6 | (next & 0x3F);
    }
    return c;
}

void AppendUtf8(std::string& out, uint32_t c)
{
    if (c < 0x80) {
        out += (char)c;
    } else if (c < 0x800) {
        out += (char)(0xC0 | c >> 6);
        out += (char)(0x80 | (c & 0x3F));
    } else {
        out += (char)(0xE0 | c >> 12);
        out += (char)(0x80 | (c >> 6 & 0x3F));
        out += (char)(0x80 | (c & 0x3F));
    }
}

} // namespace

bool IsSupportedCodePage(int codePage)
{
    return codePage == 1252;
}

bool Utf8ToCodePage(const std::string& utf8, int codePage, std::string& out)
{
    out.clear();
    if (!IsSupportedCodePage(codePage))
        return false;
    for (size_t i = 0; i < utf8.size();) {
        const long c = NextCodePoint(utf8, i);
        const int byte = c < 0 ? -1 : ByteOf1252((uint32_t)c);
        if (byte <= 0) // a NUL would end the text early
            return false;
        out += (char)byte;
    }
    return true;
}

std::string CodePageToUtf8(const std::string& text, int)
{
    std::string out;
    for (char ch : text) {
        const uint32_t c = CodePointOf1252((uint8_t)ch);
        AppendUtf8(out, c ? c : 0xFFFD);
    }
    return out;
}
