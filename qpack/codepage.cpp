#include "codepage.h"
#include "codepage_conversion.h"

namespace {

const int CodePages[] = {1250, 1251, 1252, 1253, 1254, 932, 936, 949, 950};

const char* const ReplacementCharacter = "\xEF\xBF\xBD";

// The length of the UTF-8 sequence a byte starts and the bits it carries, or
// 0 for a byte that starts none.
int SequenceLength(unsigned char lead, char32_t& point)
{
    if (lead < 0x80) {
        point = lead;
        return 1;
    }
    const int length = lead >= 0xC2 && lead <= 0xDF   ? 2
                       : lead >= 0xE0 && lead <= 0xEF ? 3
                       : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                      : 0;
    point = lead & (0x7F >> length);
    return length;
}

// The longest form of each length, the surrogates and what lies past U+10FFFF
// are no UTF-8.
bool IsCodePoint(char32_t point, int length)
{
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    return point >= least[length] && point <= 0x10FFFF && (point < 0xD800 || point > 0xDFFF);
}

} // namespace

bool IsSupportedCodePage(int codePage)
{
    for (int c : CodePages)
        if (c == codePage)
            return true;
    return false;
}

std::string SupportedCodePages()
{
    std::string list;
    for (int c : CodePages)
        list += (list.empty() ? "" : ", ") + std::to_string(c);
    return list;
}

bool Utf8ToCodePage(const std::string& utf8, int codePage, std::string& out)
{
    // A NUL would end the text early. Converters map a few characters to a
    // look-alike (U+00A5 to 0x5C, the backslash, in 932) and drop others
    // silently; only a text that reads back as written says what the manifest
    // meant.
    std::string back;
    size_t pos = 0;
    return IsSupportedCodePage(codePage) && utf8.find('\0') == std::string::npos && EncodeText(utf8, codePage, out) &&
           DecodeText(out, codePage, pos, back) && back == utf8;
}

std::string CodePageToUtf8(const std::string& text, int codePage)
{
    std::string out;
    if (!IsSupportedCodePage(codePage)) {
        for (char c : text)
            out += (unsigned char)c < 0x80 ? std::string(1, c) : ReplacementCharacter;
        return out;
    }
    size_t pos = 0;
    while (!DecodeText(text, codePage, pos, out)) {
        out += ReplacementCharacter;
        pos++;
    }
    return out;
}

std::string Utf8FromCodePoint(char32_t point)
{
    if (point < 0x80)
        return std::string(1, (char)point);
    const int length = point < 0x800 ? 2 : point < 0x10000 ? 3 : 4;
    std::string out(length, '\0');
    for (int k = length - 1; k > 0; k--, point >>= 6)
        out[k] = (char)(0x80 | (point & 0x3F));
    out[0] = (char)((0xF00 >> length & 0xFF) | point);
    return out;
}

std::u32string Utf8ToCodePoints(const std::string& utf8)
{
    std::u32string points;
    for (size_t i = 0; i < utf8.size();) {
        char32_t point = 0;
        const int length = SequenceLength((unsigned char)utf8[i], point);
        if (length == 0 || i + length > utf8.size())
            break;
        for (int k = 1; k < length && point != (char32_t)-1; k++)
            point = ((unsigned char)utf8[i + k] & 0xC0) == 0x80 ? point << 6 | (utf8[i + k] & 0x3F) : (char32_t)-1;
        if (!IsCodePoint(point, length))
            break;
        points += point;
        i += length;
    }
    return points;
}
