// Texts between UTF-8 and the code pages, and names as Windows compares them.
// The same cases run against glibc's converters on Linux and Windows' own
// under Wine: both builds of qpack must write and read texts alike.
#include "qpack/codepage.h"
#include "qpack/windows_names.h"
#include <gtest/gtest.h>

namespace {

std::string Encoded(const std::string& utf8, int codePage)
{
    std::string out;
    return Utf8ToCodePage(utf8, codePage, out) ? out : "refused";
}

} // namespace

TEST(CodePage, UTF8IsReadUpToItsFirstFault)
{
    EXPECT_EQ(Utf8ToCodePoints("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), std::u32string(U"a\u00E9\u20AC\U0001F600"));
    const char* const faults[] = {"\x80",         "\xC0\xAF",         "\xC1\xBF", "\xE0\x80\xAF", "\xED\xA0\x80",
                                  "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xE2\x82", "\xC3\x28"};
    for (const char* fault : faults)
        EXPECT_EQ(Utf8ToCodePoints(std::string("ok") + fault + "more"), std::u32string(U"ok")) << fault;
}

TEST(CodePage, TextsAreWrittenOnlyWhenTheyReadBackAsWritten)
{
    EXPECT_EQ(Encoded("Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC", 1252), "Gr\xF6\xDF" "e \x80");
    EXPECT_EQ(Encoded("\xD0\x96", 1251), "\xC6");
    EXPECT_EQ(Encoded("\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88", 932), "\x83\x5C\x83\x74\x83\x67");
    EXPECT_EQ(Encoded("\xE4\xB8\xAD\xE6\x96\x87", 936), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(Encoded("\xED\x95\x9C", 949), "\xC7\xD1");
    EXPECT_EQ(Encoded("\xE4\xB8\xAD", 950), "\xA4\xA4");
    EXPECT_EQ(Encoded("", 1252), "");
    // No look-alike stands in: U+00A5 would become 0x5C, the backslash.
    EXPECT_EQ(Encoded("\xC2\xA5", 932), "refused");
    EXPECT_EQ(Encoded("\xE6\x97\xA5", 1252), "refused");
    EXPECT_EQ(Encoded("\xC2\x81", 1252), "refused");
    EXPECT_EQ(Encoded(std::string("a\0b", 3), 1252), "refused");
    EXPECT_EQ(Encoded("\xC3", 1252), "refused");
    EXPECT_EQ(Encoded("a", 65001), "refused");
}

TEST(CodePage, BytesThatAreNoCharacterReadAsReplacements)
{
    EXPECT_EQ(CodePageToUtf8("\x80 \x81", 1252), "\xE2\x82\xAC \xEF\xBF\xBD");
    EXPECT_EQ(CodePageToUtf8("\x98", 1251), "\xEF\xBF\xBD");
    EXPECT_EQ(CodePageToUtf8("\xFF", 1253), "\xEF\xBF\xBD");
    EXPECT_EQ(CodePageToUtf8("\x83\x5C", 932), "\xE3\x82\xBD");
    // A lead byte whose second byte does not complete it, or that ends the text.
    EXPECT_EQ(CodePageToUtf8("\x81\x20", 932), "\xEF\xBF\xBD ");
    EXPECT_EQ(CodePageToUtf8("a\x83", 932), "a\xEF\xBF\xBD");
    EXPECT_EQ(CodePageToUtf8("\xA0", 932), "\xEF\xBF\xBD");
    EXPECT_EQ(CodePageToUtf8("a\xE9", 437), "a\xEF\xBF\xBD");
}

#ifndef _WIN32
// glibc refuses A2 E8 of code page 949 yet moves past it; at the end of a
// text that once left the reader behind the text, reading on.
TEST(CodePage, RefusedSequenceAtTheEndEndsTheText)
{
    EXPECT_EQ(CodePageToUtf8("Y.\xA2\xE8", 949), "Y.\xEF\xBF\xBD");
}
#endif

TEST(CodePage, NamesCompareWithoutRegardToCase)
{
    EXPECT_EQ(ComparableName("Readme.TXT"), ComparableName("README.txt"));
    EXPECT_EQ(ComparableName("\xC3\xA4rger \xCF\x89"), ComparableName("\xC3\x84RGER \xCE\xA9"));
    EXPECT_EQ(ComparableName("\xD0\xB6"), ComparableName("\xD0\x96"));
    EXPECT_NE(ComparableName("a.txt"), ComparableName("b.txt"));
}
