// The system's converters between UTF-8 and the code pages qpack supports.
#pragma once
#include <string>

// False when the converter refuses any character (out is then undefined).
bool EncodeText(const std::string& utf8, int codePage, std::string& out);

// Appends what text holds from pos on, up to the first byte that is no
// character of the code page; pos is left there, and the result is true
// when the text was read to its end.
bool DecodeText(const std::string& text, int codePage, size_t& pos, std::string& utf8);
