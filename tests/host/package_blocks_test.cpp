#include "package/byte_cursor.h"
#include "package/crc32.h"
#include "package/package_blocks.h"
#include "package/package_writer.h"
#include <gtest/gtest.h>

namespace {

// The worked example's stream: raw "ab", then 'c' and a match that copies "bc".
const Bytes ExampleStream = {'a', 'b', 0x02, 0, 0, 0, 'c', 0, 0, 2};

Bytes Payload(const Bytes& stream, uint32_t unpackedSize, uint32_t n = 2, uint32_t m = 255)
{
    Bytes p(PACK_HEADER_SIZE);
    WritePackHeader(PackHeader{n, m, unpackedSize, Crc32(stream.data(), stream.size()), PACK_VERSION}, p.data());
    p.insert(p.end(), stream.begin(), stream.end());
    return p;
}

PackageTrailer Halves(const Bytes& payload, uint32_t scriptSize, uint32_t dataSize)
{
    PackageTrailer t{};
    t.packedSize = (uint32_t)payload.size();
    t.scriptSize = scriptSize;
    t.dataSize = dataSize;
    return t;
}

bool Agree(const Bytes& payload, const PackageTrailer& t)
{
    return PayloadSizesAgree(t, ParsePackHeader(payload.data())) != 0;
}

// Unpacks into an area of exactly the block size, so AddressSanitizer sees any
// write past it; empty when refused.
Bytes Blocks(const Bytes& payload, const PackageTrailer& t)
{
    Bytes area(BlockAreaSize(t), 0);
    if (!Agree(payload, t) || !UnpackBlocks(payload.data(), t, area.data()))
        return {};
    return area;
}

} // namespace

TEST(PackageBlocks, EachBlockIsFollowedByAZeroByteWithoutACopyOfTheData)
{
    const Bytes payload = Payload(ExampleStream, 5);
    EXPECT_EQ(Blocks(payload, Halves(payload, 2, 3)), (Bytes{'a', 'b', 0, 'c', 'b', 'c', 0}));
    EXPECT_EQ(Blocks(payload, Halves(payload, 0, 5)), (Bytes{0, 'a', 'b', 'c', 'b', 'c', 0}));
    EXPECT_EQ(Blocks(payload, Halves(payload, 5, 0)), (Bytes{'a', 'b', 'c', 'b', 'c', 0, 0}));
}

TEST(PackageBlocks, HeaderMustClaimTheHalvesSum)
{
    for (uint32_t claim : {4u, 6u, 0u}) {
        const Bytes payload = Payload(ExampleStream, claim);
        EXPECT_FALSE(Agree(payload, Halves(payload, 2, 3))) << claim;
    }
    // Halves whose sum passes 32 bits must not wrap around to the claim.
    const Bytes payload = Payload(ExampleStream, 4);
    EXPECT_FALSE(Agree(payload, Halves(payload, 0xFFFFFFFFu, 5)));
}

TEST(PackageBlocks, StreamMustProduceExactlyTheClaim)
{
    // Headers that agree with trailers the stream does not fulfil.
    const Bytes longer = Payload(ExampleStream, 6);
    EXPECT_TRUE(Agree(longer, Halves(longer, 2, 4)));
    EXPECT_TRUE(Blocks(longer, Halves(longer, 2, 4)).empty()) << "one byte short";
    const Bytes shorter = Payload(ExampleStream, 4);
    EXPECT_TRUE(Blocks(shorter, Halves(shorter, 2, 2)).empty()) << "one byte too many";
    const Bytes nothing = Payload({}, 0);
    EXPECT_TRUE(Blocks(nothing, Halves(nothing, 0, 0)).empty()) << "no bytes at all";
    Bytes damaged = Payload(ExampleStream, 5);
    damaged.back() ^= 1;
    EXPECT_TRUE(Blocks(damaged, Halves(damaged, 2, 3)).empty()) << "CRC";
}

TEST(PackageBlocks, StreamEndingInsideItsRawPrefixIsWholeWhenItMatchesTheClaim)
{
    const Bytes payload = Payload({'s', 'c', 'r', 'd', 'a'}, 5, 10);
    EXPECT_EQ(Blocks(payload, Halves(payload, 3, 2)), (Bytes{'s', 'c', 'r', 0, 'd', 'a', 0}));
}

TEST(PackageBlocks, ClaimBeyondWhatTheStreamCanProduceIsRefusedFromTheHeader)
{
    // Two gigabytes in each half over a stream of ten bytes.
    const Bytes payload = Payload(ExampleStream, 0xFFFFFFFEu);
    EXPECT_FALSE(Agree(payload, Halves(payload, 0x7FFFFFFFu, 0x7FFFFFFFu)));
    // After the raw prefix of 2, 8 bytes hold at most 2 matches of M bytes.
    for (uint32_t m : {255u, 1000u}) {
        const Bytes most = Payload(ExampleStream, 2 + 2 * 255, 2, m);
        EXPECT_TRUE(Agree(most, Halves(most, 2, 2 * 255))) << m;
        const Bytes beyond = Payload(ExampleStream, 2 + 2 * 255 + 1, 2, m);
        EXPECT_FALSE(Agree(beyond, Halves(beyond, 2, 2 * 255 + 1))) << m;
    }
    // With matches shorter than their 3 bytes, literals bound the output.
    const Bytes literals = Payload(ExampleStream, 10, 2, 1);
    EXPECT_TRUE(Agree(literals, Halves(literals, 0, 10)));
    const Bytes beyond = Payload(ExampleStream, 11, 2, 1);
    EXPECT_FALSE(Agree(beyond, Halves(beyond, 0, 11)));
}

// No LZMA stream yields more than 8 KB from one of its bytes; zeros, the
// most compressible input there is, come near 7 KB the longer they run.
TEST(PackageBlocks, LzmaClaimIsBoundedByTheStreamsSize)
{
    const Bytes zeros(4u << 20, 0);
    Bytes payload;
    ASSERT_TRUE(PackPayload(zeros, PackMethod{PACK_VERSION_LZMA}, payload));
    const uint32_t stream = (uint32_t)payload.size() - PACK_HEADER_SIZE;
    EXPECT_GT(zeros.size(), stream * 5000u) << "zeros pack less tightly than the bound assumes";
    EXPECT_EQ(Blocks(payload, Halves(payload, 1000, (uint32_t)zeros.size() - 1000)).size(), zeros.size() + 2);
    const uint32_t most = stream * 8192 + 65536;
    StoreU32(&payload[8], most);
    EXPECT_TRUE(Agree(payload, Halves(payload, 0, most)));
    StoreU32(&payload[8], most + 1);
    EXPECT_FALSE(Agree(payload, Halves(payload, 0, most + 1)));
}
