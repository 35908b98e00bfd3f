#include "codepage_conversion.h"
#include <errno.h>
#include <iconv.h>

namespace {

// glibc's names of the code pages; it carries all of them.
std::string IconvName(int codePage)
{
    return "CP" + std::to_string(codePage);
}

// An iconv descriptor that lives as long as one conversion.
struct Descriptor {
    iconv_t cd;
    Descriptor(const std::string& to, const std::string& from) : cd(iconv_open(to.c_str(), from.c_str())) {}
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
    // glibc's converter of code page 949 may refuse a sequence and still
    // move past it, up to the end: a caller that steps over the refused byte
    // then stands behind the text.
    pos = pos < in.size() ? pos : in.size();
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

} // namespace

bool EncodeText(const std::string& utf8, int codePage, std::string& out)
{
    const Descriptor d(IconvName(codePage), "UTF-8");
    size_t pos = 0;
    out.clear();
    return ConvertFrom(d, utf8, pos, out);
}

bool DecodeText(const std::string& text, int codePage, size_t& pos, std::string& utf8)
{
    const Descriptor d("UTF-8", IconvName(codePage));
    return ConvertFrom(d, text, pos, utf8);
}
