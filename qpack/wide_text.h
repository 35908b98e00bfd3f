// Windows' own functions take texts as UTF-16; qpack's texts are UTF-8.
#pragma once
#include <string>

// Bytes that are no UTF-8 become U+FFFD, so that such a name names no file.
std::wstring WideFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const wchar_t* wide, size_t length);

// The system's description of an error code, in UTF-8, without the line end.
std::string SystemMessage(unsigned long error);
