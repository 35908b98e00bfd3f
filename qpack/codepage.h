// Texts of a package are single-byte ANSI in the Windows code page the
// manifest names; manifests, strings files and terminals speak UTF-8.
#pragma once
#include <string>

// The code pages a package can be written in.
bool IsSupportedCodePage(int codePage);

// False when a character has no place in the code page, or is a NUL (out is
// then undefined).
bool Utf8ToCodePage(const std::string& utf8, int codePage, std::string& out);
std::string CodePageToUtf8(const std::string& text, int codePage);
