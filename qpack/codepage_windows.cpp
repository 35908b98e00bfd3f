#include "codepage_conversion.h"
#include "wide_text.h"
#include <windows.h>

namespace {

// Windows gives the bytes its code pages leave undefined a C1 control or a
// private-use character of their own; glibc, which the Linux build uses,
// refuses them. So does this build, so that both read a package alike. Only
// code page 932 defines private-use characters, in its two-byte user area.
bool IsCharacter(wchar_t c, size_t bytes, int codePage)
{
    if (c >= 0x80 && c <= 0x9F)
        return false;
    if (c >= 0xE000 && c <= 0xF8FF)
        return bytes == 2 && codePage == 932;
    return true;
}

} // namespace

bool EncodeText(const std::string& utf8, int codePage, std::string& out)
{
    out.clear();
    if (utf8.empty())
        return true;
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), (int)utf8.size(), nullptr, 0);
    if (length == 0)
        return false;
    std::wstring wide((size_t)length, L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), (int)utf8.size(), &wide[0], length);
    // No look-alike may stand in for a character the code page lacks.
    BOOL substituted = FALSE;
    const int size = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0, nullptr,
                                         &substituted);
    if (size == 0 || substituted)
        return false;
    out.resize((size_t)size);
    WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), length, &out[0], size, nullptr, &substituted);
    return true;
}

bool DecodeText(const std::string& text, int codePage, size_t& pos, std::string& utf8)
{
    while (pos < text.size()) {
        const size_t bytes = IsDBCSLeadByteEx((UINT)codePage, (BYTE)text[pos]) ? 2 : 1;
        wchar_t c[2];
        if (pos + bytes > text.size() ||
            MultiByteToWideChar((UINT)codePage, MB_ERR_INVALID_CHARS, text.data() + pos, (int)bytes, c, 2) != 1 ||
            !IsCharacter(c[0], bytes, codePage))
            return false;
        utf8 += Utf8FromWide(c, 1);
        pos += bytes;
    }
    return true;
}
