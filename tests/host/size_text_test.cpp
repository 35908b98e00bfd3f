#include "base/size_text.h"
#include <gtest/gtest.h>
#include <string>

namespace {

std::string SizeText(uint64_t bytes)
{
    char text[SIZE_TEXT_SIZE];
    FormatSizeText(text, bytes);
    return text;
}

} // namespace

TEST(SizeText, ThousandKilobytesIsTheLastKilobyteForm)
{
    EXPECT_EQ(SizeText(1024000), "1000.0 KB.");
    EXPECT_EQ(SizeText(1025024), "1.0 MB.");
    EXPECT_EQ(SizeText(1024001), "1.0 MB.");
    EXPECT_EQ(SizeText(2000000), "1.9 MB.");
    EXPECT_EQ(SizeText(0), "0.0 KB.");
}

TEST(SizeText, OneDecimalRoundedToNearest)
{
    EXPECT_EQ(SizeText(1023), "1.0 KB.");    // 0.999
    EXPECT_EQ(SizeText(51), "0.0 KB.");      // 0.0498
    EXPECT_EQ(SizeText(52), "0.1 KB.");      // 0.0508
    EXPECT_EQ(SizeText(256), "0.3 KB.");     // 0.25 exactly, a half goes up
    EXPECT_EQ(SizeText(1572864), "1.5 MB."); // 1.5 exactly
    EXPECT_EQ(SizeText(1101004), "1.0 MB."); // 1.04999...
    EXPECT_EQ(SizeText(1101005), "1.1 MB."); // 1.05000...
}

TEST(SizeText, LargeDisksShowTheirSizeUpToTheCap)
{
    EXPECT_EQ(SizeText(0xFFFFFFFFull), "4096.0 MB.");
    EXPECT_EQ(SizeText(500ull << 30), "512000.0 MB.");
    EXPECT_EQ(SizeText(1ull << 48), SizeText((1ull << 48) - 1));
    EXPECT_EQ(SizeText(~0ull), "268435456.0 MB.");
}

TEST(SizeText, KilobytesWithTwoDecimals)
{
    char text[SIZE_TEXT_SIZE];
    const std::pair<uint32_t, const char*> cases[] = {
        {512, "0.50"}, {0, "0.00"}, {5, "0.00"}, {6, "0.01"}, {128, "0.13"}, {1024, "1.00"},
        {0xFFFFFFFFu, "4194304.00"},
    };
    for (const auto& c : cases) {
        FormatKilobytes(text, c.first);
        EXPECT_STREQ(text, c.second) << c.first;
    }
}
