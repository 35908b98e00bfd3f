#include "wide_text.h"
#include <windows.h>

std::wstring WideFromUtf8(const std::string& utf8)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), nullptr, 0);
    std::wstring wide((size_t)length, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), &wide[0], length);
    return wide;
}

std::string Utf8FromWide(const wchar_t* wide, size_t length)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, (int)length, nullptr, 0, nullptr, nullptr);
    std::string utf8((size_t)size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, (int)length, &utf8[0], size, nullptr, nullptr);
    return utf8;
}

std::string SystemMessage(unsigned long error)
{
    wchar_t text[512];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                  sizeof text / sizeof text[0], nullptr);
    while (length > 0 && (text[length - 1] == L'\n' || text[length - 1] == L'\r' || text[length - 1] == L' '))
        length--;
    return length ? Utf8FromWide(text, length) : "system error " + std::to_string(error);
}
