#include "package/package_writer.h"
#include "package/string_table.h"
#include <gtest/gtest.h>

namespace {

std::vector<std::string> Texts(int count)
{
    std::vector<std::string> texts;
    for (int i = 0; i < count; i++)
        texts.push_back("text " + std::to_string(i));
    return texts;
}

} // namespace

TEST(StringTable, SlotsAndTheCursorBehindTheLastEntry)
{
    Bytes script;
    PutStringTable(script, {"Setup successful.", "Setup", "", "Line one\r\nline two"});
    const size_t tableEnd = script.size();
    script.push_back(0x42);
    const ByteCursor c = ParseSetupStrings(script.data(), script.size());
    EXPECT_STREQ(SetupString(0), "Setup successful.");
    EXPECT_STREQ(SetupString(1), "Setup");
    EXPECT_STREQ(SetupString(2), "");
    EXPECT_STREQ(SetupString(3), "Line one\r\nline two");
    EXPECT_EQ(c.pos, script.data() + tableEnd);
    EXPECT_FALSE(c.overrun);
}

TEST(StringTable, MissingSlotsReadAsEmpty)
{
    Bytes script;
    PutStringTable(script, Texts(20));
    ParseSetupStrings(script.data(), script.size());
    EXPECT_STREQ(SetupString(19), "text 19");
    EXPECT_STREQ(SetupString(20), "");
    EXPECT_STREQ(SetupString(60), "");
    EXPECT_STREQ(SetupString(-1), "");
}

TEST(StringTable, CountOrLengthPastTheBlockStaysInside)
{
    Bytes full;
    PutStringTable(full, Texts(63));
    for (size_t cut = 0; cut < full.size(); cut += 3) {
        Bytes script(full.begin(), full.begin() + (long)cut);
        const ByteCursor c = ParseSetupStrings(script.data(), script.size());
        EXPECT_EQ(c.pos, script.data() + script.size());
        EXPECT_STREQ(SetupString(62), "");
    }
    Bytes longText;
    PutU16(longText, 2);
    PutU16(longText, 5);
    PutBytes(longText, "abcde", 5);
    PutU16(longText, 0x7FFF);
    PutBytes(longText, "xyz", 3);
    ParseSetupStrings(longText.data(), longText.size());
    EXPECT_STREQ(SetupString(0), "abcde");
    EXPECT_STREQ(SetupString(1), "");
}

TEST(StringTable, NegativeCountOrLengthMeansNoEntries)
{
    Bytes script;
    PutU16(script, 0xFFFF);
    ParseSetupStrings(script.data(), script.size());
    EXPECT_STREQ(SetupString(0), "");
    Bytes negative;
    PutU16(negative, 1);
    PutU16(negative, 0x8000);
    ParseSetupStrings(negative.data(), negative.size());
    EXPECT_STREQ(SetupString(0), "");
}

TEST(StringTable, TextEndsAtItsLengthEvenWithoutItsTerminator)
{
    Bytes script;
    PutStringTable(script, {"abc", "def"});
    script[2 + 2 + 3] = '!';
    ParseSetupStrings(script.data(), script.size());
    EXPECT_STREQ(SetupString(0), "abc");
    EXPECT_STREQ(SetupString(1), "def");
}
