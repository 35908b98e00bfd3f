// Texts of a package are single-byte or double-byte ANSI in the Windows code
// page the manifest names; manifests, strings files and terminals speak UTF-8.
#pragma once
#include <string>

// The code pages a package can be written in.
bool IsSupportedCodePage(int codePage);
// Their numbers, as a manifest mistake lists them.
std::string SupportedCodePages();

// False when a character has no place of its own in the code page (no
// look-alike stands in for it), or is a NUL (out is then undefined).
bool Utf8ToCodePage(const std::string& utf8, int codePage, std::string& out);
// Bytes that are no character of the code page show as U+FFFD; a code page
// qpack does not support shows only its ASCII characters.
std::string CodePageToUtf8(const std::string& text, int codePage);

// The characters of a UTF-8 text, one code point each; what follows the
// first byte that is no UTF-8 is left out.
std::u32string Utf8ToCodePoints(const std::string& utf8);
// One code point in UTF-8.
std::string Utf8FromCodePoint(char32_t point);
