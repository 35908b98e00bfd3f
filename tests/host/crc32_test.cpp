#include "package/crc32.h"
#include <gtest/gtest.h>
#include <random>
#include <vector>

// The definition, one bit at a time, to hold the fast version against.
static uint32_t BitwiseCrc(const uint8_t* p, size_t n)
{
    uint32_t c = 0xFFFFFFFFu;
    while (n--) {
        c ^= *p++;
        for (int k = 0; k < 8; k++)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    return ~c;
}

TEST(Crc32, KnownValues)
{
    EXPECT_EQ(Crc32((const uint8_t*)"123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32(nullptr, 0), 0u);
    EXPECT_EQ(Crc32((const uint8_t*)"a", 1), 0xE8B7BE43u);
}

// Both ways, the table's and the multiplying one's where the processor has it.
TEST(Crc32, EveryLengthAndAlignmentMatchesTheDefinition)
{
    std::mt19937 rng(7);
    std::vector<uint8_t> data(300);
    for (auto& b : data)
        b = (uint8_t)rng();
    for (size_t start = 0; start < 16; start++)
        for (size_t n = 0; n + start <= data.size(); n++) {
            const uint32_t expected = BitwiseCrc(data.data() + start, n);
            ASSERT_EQ(Crc32(data.data() + start, n), expected) << start << " " << n;
            ASSERT_EQ(Crc32WithTable(data.data() + start, n), expected) << start << " " << n;
        }
}

TEST(Crc32, PiecesContinueTheRunningValue)
{
    const uint8_t text[] = "The quick brown fox jumps over the lazy dog";
    const size_t n = sizeof text - 1;
    for (size_t cut = 0; cut <= n; cut++)
        EXPECT_EQ(Crc32(text + cut, n - cut, Crc32(text, cut)), Crc32(text, n));
}
