#include "codepage.h"
#include "package/byte_cursor.h"
#include <errno.h>
#include <iconv.h>

namespace {

struct CodePageName {
    int number;
    const char* iconvName;
};

// glibc carries all of these; no converter of another library is needed.
const CodePageName CodePages[] = {
    {1250, "CP1250"}, {1251, "CP1251"}, {1252, "CP1252"}, {1253, "CP1253"}, {1254, "CP1254"},
    {932, "CP932"},   {936, "CP936"},   {949, "CP949"},   {950, "CP950"},
};

const char* IconvName(int codePage)
{
    for (const CodePageName& c : CodePages)
        if (c.number == codePage)
            return c.iconvName;
    return nullptr;
}

// An iconv descriptor that lives as long as one conversion.
struct Descriptor {
    iconv_t cd;
    Descriptor(const char* to, const char* from) : cd(iconv_open(to, from)) {}
    ~Descriptor()
    {
        if (cd != (iconv_t)-1)
            iconv_close(cd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
};

// Converts in from pos on into out, and returns false with pos at the first
// byte the converter refuses, or at once when glibc has no such converter.
// Every supported code page is stateless, so nothing is left to flush at the
// end.
bool ConvertFrom(const Descriptor& d, const std::string& in, size_t& pos, std::string& out)
{
    char* source = const_cast<char*>(in.data()) + pos;
    size_t left = in.size() - pos;
    bool ok = true;
    while (ok && left > 0) {
        char buffer[256];
        char* target = buffer;
        size_t room = sizeof buffer;
        ok = d.cd != (iconv_t)-1 && (iconv(d.cd, &source, &left, &target, &room) != (size_t)-1 || errno == E2BIG);
        out.append(buffer, (size_t)(target - buffer));
    }
    pos = in.size() - left;
    return ok;
}

bool ConvertAll(const char* to, const char* from, const std::string& in, std::string& out)
{
    const Descriptor d(to, from);
    size_t pos = 0;
    out.clear();
    return ConvertFrom(d, in, pos, out);
}

} // namespace

bool IsSupportedCodePage(int codePage)
{
    return IconvName(codePage) != nullptr;
}

std::string SupportedCodePages()
{
    std::string list;
    for (const CodePageName& c : CodePages)
        list += (list.empty() ? "" : ", ") + std::to_string(c.number);
    return list;
}

bool Utf8ToCodePage(const std::string& utf8, int codePage, std::string& out)
{
    const char* name = IconvName(codePage);
    // A NUL would end the text early. glibc maps a few characters to a
    // look-alike (U+00A5 to 0x5C, the backslash, in 932) and drops others
    // silently; only a text that reads back as written says what the manifest
    // meant.
    std::string back;
    return name && utf8.find('\0') == std::string::npos && ConvertAll(name, "UTF-8", utf8, out) &&
           ConvertAll("UTF-8", name, out, back) && back == utf8;
}

std::string CodePageToUtf8(const std::string& text, int codePage)
{
    const char* name = IconvName(codePage);
    const Descriptor d("UTF-8", name ? name : "ASCII");
    std::string out;
    size_t pos = 0;
    while (!ConvertFrom(d, text, pos, out)) {
        out += "\xEF\xBF\xBD";
        pos++;
    }
    return out;
}

std::u32string Utf8ToCodePoints(const std::string& utf8)
{
    const Descriptor d("UTF-32LE", "UTF-8");
    std::string bytes;
    size_t pos = 0;
    ConvertFrom(d, utf8, pos, bytes);
    std::u32string points;
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4)
        points += (char32_t)LoadU32((const uint8_t*)bytes.data() + i);
    return points;
}
