#include "package/byte_cursor.h"
#include "package/crc32.h"
#include "package/package_writer.h"
#include "package/unpack.h"
#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace {

// A payload with a correct header around hand-made stream bytes.
Bytes Payload(uint32_t n, uint32_t m, const Bytes& stream, uint8_t version = PACK_VERSION)
{
    Bytes p(PACK_HEADER_SIZE);
    WritePackHeader(PackHeader{n, m, 0, Crc32(stream.data(), stream.size()), version}, p.data());
    p.insert(p.end(), stream.begin(), stream.end());
    return p;
}

struct Result {
    uint32_t produced;
    Bytes out;
};

// Unpacks into an area of exactly `capacity` heap bytes, so that a write past
// it is caught by AddressSanitizer as well as by the result. After a success
// the area past the output must be zeros, as the loader hands it over.
Result Unpack(const Bytes& payload, uint32_t capacity = 1024)
{
    std::vector<uint8_t> area(capacity, 0);
    const uint32_t produced = UnpackPayload(payload.data(), area.data(), (uint32_t)payload.size(), capacity);
    if (produced != 0) {
        EXPECT_EQ(std::count(area.begin() + produced, area.end(), 0), capacity - produced) << "past the output";
    }
    area.resize(produced);
    return {produced, area};
}

Bytes Flags(uint32_t word)
{
    Bytes b;
    PutU32(b, word);
    return b;
}

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes Match(uint16_t offset, uint8_t length)
{
    return Bytes{(uint8_t)offset, (uint8_t)(offset >> 8), length};
}

// Appends what a match `distance` bytes behind the end of out produces.
void AppendMatch(Bytes& out, size_t distance, size_t length)
{
    for (size_t i = 0; i < length; i++)
        out.push_back(i < distance ? out[out.size() - distance] : 0);
}

// Stretches of zeros, of random bytes and of copies from up to 1000 bytes
// back: literal runs of every length, matches of zeros and matches from less
// than a wide move behind the output as well as from far.
Bytes MixedData(std::mt19937& rng, size_t size)
{
    Bytes data(1000);
    for (uint8_t& b : data)
        b = (uint8_t)rng();
    while (data.size() < size) {
        const size_t stretch = 1 + rng() % 300, distance = 1 + rng() % 1000;
        const unsigned kind = rng() % 3;
        for (size_t i = 0; i < stretch; i++)
            data.push_back(kind == 0 ? 0 : kind == 1 ? (uint8_t)rng() : data[data.size() - distance]);
    }
    return data;
}

} // namespace

TEST(Unpack, WorkedExample)
{
    const Bytes payload = Payload(2, 255, Cat({{'a', 'b'}, Flags(2), {'c'}, Match(0, 2)}));
    ASSERT_EQ(payload.size(), 94u);
    const Result r = Unpack(payload);
    EXPECT_EQ(r.produced, 5u);
    EXPECT_EQ(r.out, (Bytes{'a', 'b', 'c', 'b', 'c'}));
}

TEST(Unpack, WithoutRawPrefixAMatchAtOffsetZeroCopiesZeros)
{
    const Result r = Unpack(Payload(0, 255, Cat({Flags(1), Match(0, 5), {'x'}})));
    EXPECT_EQ(r.out, (Bytes{0, 0, 0, 0, 0, 'x'}));
    EXPECT_EQ(Unpack(Payload(0, 255, Cat({Flags(1), Match(1, 5)}))).produced, 0u);
}

TEST(Unpack, ThirtyTwoLiteralsThenTheNextFlagWord)
{
    Bytes literals;
    for (int i = 0; i < 32; i++)
        literals.push_back((uint8_t)('A' + i));
    const Bytes prefix = {'#', '#', '#', '#'};
    const Result r = Unpack(Payload(4, 255, Cat({prefix, Flags(0), literals, Flags(1), Match(0, 2)})));
    Bytes expected = Cat({prefix, literals});
    expected.push_back(literals[28]);
    expected.push_back(literals[29]);
    EXPECT_EQ(r.out, expected);
}

TEST(Unpack, StreamMayEndInsideAGroup)
{
    const Result r = Unpack(Payload(0, 255, Cat({Flags(0xFFFFFFF8u), {'x', 'y', 'z'}})));
    EXPECT_EQ(r.out, (Bytes{'x', 'y', 'z'}));
}

TEST(Unpack, StreamMayEndInsideTheRawPrefix)
{
    const Result r = Unpack(Payload(10, 255, Bytes{'a', 'b', 'c', 'd'}));
    EXPECT_EQ(r.out, (Bytes{'a', 'b', 'c', 'd'}));
}

TEST(Unpack, DanglingBytesOfAFlagWordEndTheStream)
{
    const Bytes head = Cat({{'a'}, Flags(0), {'b'}});
    Bytes full;
    for (int i = 0; i < 31; i++)
        full.push_back('c');
    EXPECT_EQ(Unpack(Payload(1, 255, Cat({head, full, {0x01, 0x00}}))).produced, 33u);
    EXPECT_EQ(Unpack(Payload(1, 255, Cat({{'a'}, {0x01}}))).produced, 1u);
}

TEST(Unpack, MatchOfLengthZeroCopiesNothingAndKeepsTheWindow)
{
    const Result r = Unpack(Payload(2, 255, Cat({{'a', 'b'}, Flags(0b101), Match(0, 0), {'c'}, Match(0, 2)})));
    EXPECT_EQ(r.out, (Bytes{'a', 'b', 'c', 'b', 'c'}));
}

TEST(Unpack, MatchSourcePastTheOutputReadsZerosNotARepetition)
{
    const Result r = Unpack(Payload(4, 255, Cat({{'a', 'b', 'c', 'd'}, Flags(1), Match(2, 4)})));
    EXPECT_EQ(r.out, (Bytes{'a', 'b', 'c', 'd', 'c', 'd', 0, 0}));
}

TEST(Unpack, OffsetAboveWindowOrLengthAboveLimitFails)
{
    const Bytes prefix = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(Unpack(Payload(4, 10, Cat({prefix, Flags(1), Match(4, 10)}))).produced, 14u);
    EXPECT_EQ(Unpack(Payload(4, 10, Cat({prefix, Flags(1), Match(5, 1)}))).produced, 0u);
    EXPECT_EQ(Unpack(Payload(4, 10, Cat({prefix, Flags(1), Match(0, 11)}))).produced, 0u);
}

TEST(Unpack, MatchCutOffByTheEndFails)
{
    const Bytes prefix = {'a', 'b'};
    EXPECT_EQ(Unpack(Payload(2, 255, Cat({prefix, Flags(1), {0, 0}}))).produced, 0u);
    EXPECT_EQ(Unpack(Payload(2, 255, Cat({prefix, Flags(1), {0}}))).produced, 0u);
}

TEST(Unpack, EveryChangedByteAfterTheHeaderFails)
{
    const Bytes good = Payload(2, 255, Cat({{'a', 'b'}, Flags(2), {'c'}, Match(0, 2)}));
    for (size_t i = PACK_HEADER_SIZE; i < good.size(); i++) {
        Bytes bad = good;
        bad[i] ^= 0x10;
        EXPECT_EQ(Unpack(bad).produced, 0u) << "byte " << i;
    }
}

// Version 3 is LZMA, which these bytes are not.
TEST(Unpack, OnlyTheVersionsOfTheTwoMethodsAreAccepted)
{
    const Bytes stream = Cat({{'a', 'b'}, Flags(0), {'c'}});
    EXPECT_EQ(Unpack(Payload(2, 255, stream, 2)).produced, 3u);
    for (uint8_t version : {0, 1, 3, 4, 255})
        EXPECT_EQ(Unpack(Payload(2, 255, stream, version)).produced, 0u) << (int)version;
}

TEST(Unpack, PayloadShorterThanItsHeaderFails)
{
    const Bytes payload = Payload(0, 255, {});
    std::vector<uint8_t> area(16, 0);
    EXPECT_EQ(UnpackPayload(payload.data(), area.data(), PACK_HEADER_SIZE - 1, 16), 0u);
}

TEST(Unpack, OutputThatWouldPassTheAreaFails)
{
    EXPECT_EQ(Unpack(Payload(8, 255, Bytes(8, 'a')), 7).produced, 0u);
    EXPECT_EQ(Unpack(Payload(0, 255, Cat({Flags(0), Bytes(5, 'a')})), 4).produced, 0u);
    EXPECT_EQ(Unpack(Payload(0, 255, Cat({Flags(1), Match(0, 5)})), 4).produced, 0u);
    EXPECT_EQ(Unpack(Payload(0, 255, Cat({Flags(1), Match(0, 5)})), 5).produced, 5u);
}

TEST(Unpack, EncodedPayloadsRoundTrip)
{
    std::mt19937 rng(11);
    Bytes data;
    for (int i = 0; i < 20000; i++) {
        const int kind = (int)(rng() % 4);
        if (kind == 0)
            data.insert(data.end(), rng() % 300, 0);
        else if (kind == 1 && data.size() > 100)
            data.insert(data.end(), data.end() - 100, data.end() - 100 + (long)(rng() % 100));
        else
            data.push_back((uint8_t)(rng() % 8));
    }
    for (uint32_t n : {0u, 1u, 2048u, 65535u}) {
        Bytes payload;
        ASSERT_TRUE(PackPayload(data, PackMethod{PACK_VERSION, {n, 255}}, payload));
        EXPECT_LT(payload.size(), data.size() / 2) << n;
        const Result r = Unpack(payload, (uint32_t)data.size());
        EXPECT_EQ(r.out, data) << "window " << n;
        EXPECT_EQ(ParsePackHeader(payload.data()).unpackedSize, data.size());
    }
}

// Wide moves leave bytes of the stream past the output. A match that reaches
// past the output must still read zeros there, and when the output ends, as
// here after a group of empty matches, the area past it must be zeros again.
TEST(Unpack, MatchesPastTheOutputReadZerosAfterWideMoves)
{
    const Bytes prefix = {'a', 'b', 'c', 'd'};
    Bytes emptyMatches = Flags(0xFFFFFFFFu);
    for (int i = 0; i < 32; i++)
        emptyMatches = Cat({emptyMatches, Match(4, 0)});
    const Bytes stream = Cat({prefix, Flags(1u << 8 | 1u << 12 | 1u << 31), Bytes(8, 'L'), Match(4, 20),
                              {'x', 'y', 'z'}, Match(2, 10), Bytes(18, 't'), Match(0, 1), emptyMatches});
    const Bytes expected =
        Cat({prefix, Bytes(8, 'L'), Bytes(20, 0), {'x', 'y', 'z', 'y', 'z'}, Bytes(8, 0), Bytes(19, 't')});
    EXPECT_EQ(Unpack(Payload(4, 255, stream), 16384).out, expected);
}

// A group of the longest matches with just the room for wide moves in the
// area, and in the stream with 25 literals behind it but not with 24; then a
// group that ends the stream and the area on their last bytes.
TEST(Unpack, GroupsEndOnTheLastByteOfStreamAndArea)
{
    Bytes prefix;
    for (int i = 0; i < 300; i++)
        prefix.push_back((uint8_t)(i * 7 + 1));
    for (uint8_t literals : {25, 24}) {
        Bytes stream = Cat({prefix, Flags(0xFFFFFFFFu)});
        Bytes expected = prefix;
        for (int i = 0; i < 32; i++) {
            stream = Cat({stream, Match(0, 255)});
            AppendMatch(expected, 300, 255);
        }
        stream = Cat({stream, Flags(1u << literals), Bytes(literals, 'e'), Match(0, 32 - literals)});
        expected = Cat({expected, Bytes(literals, 'e')});
        AppendMatch(expected, 300, 32 - literals);
        const Bytes payload = Payload(300, 255, stream);
        EXPECT_EQ(Unpack(payload, 300 + 32 * 255 + 32).out, expected);
        EXPECT_EQ(Unpack(payload, 300 + 32 * 255 + 31).produced, 0u);
    }
}

TEST(Unpack, RandomRoundTripsWithSmallMargins)
{
    std::mt19937 rng(5);
    for (int trial = 0; trial < 30; trial++) {
        const Bytes data = MixedData(rng, 9000 + rng() % 20000);
        const uint32_t n = trial % 2 ? 65535 : 1 + rng() % 2000;
        const uint32_t margin = rng() % 40;
        Bytes payload;
        ASSERT_TRUE(PackPayload(data, PackMethod{PACK_VERSION, {n, 255}}, payload));
        EXPECT_EQ(Unpack(payload, (uint32_t)data.size() + margin).out, data) << trial;
    }
}

namespace {

Bytes OwnCode()
{
    FILE* f = fopen("/proc/self/exe", "rb");
    Bytes code(256 * 1024);
    code.resize(f ? fread(code.data(), 1, code.size(), f) : 0);
    if (f)
        fclose(f);
    return code;
}

} // namespace

// Each input packs the same way twice, fills exactly its claim, and is
// refused by an area one byte too small for the claim.
TEST(UnpackLzma, RoundTrips)
{
    std::mt19937 rng(3);
    Bytes noise(100000);
    for (uint8_t& b : noise)
        b = (uint8_t)rng();
    const Bytes code = OwnCode();
    ASSERT_GT(code.size(), 100000u);
    const struct {
        const char* name;
        Bytes data;
    } inputs[] = {{"empty", {}}, {"one byte", {'q'}}, {"incompressible", noise}, {"x86 code", code},
                  {"mixed", MixedData(rng, 300000)}};
    for (const auto& in : inputs) {
        Bytes payload, again;
        ASSERT_TRUE(PackPayload(in.data, PackMethod{PACK_VERSION_LZMA}, payload)) << in.name;
        ASSERT_TRUE(PackPayload(in.data, PackMethod{PACK_VERSION_LZMA}, again)) << in.name;
        EXPECT_EQ(payload, again) << in.name;
        const PackHeader h = ParsePackHeader(payload.data());
        EXPECT_EQ(h.version, PACK_VERSION_LZMA) << in.name;
        EXPECT_EQ(h.unpackedSize, in.data.size()) << in.name;
        const uint32_t size = (uint32_t)in.data.size();
        EXPECT_EQ(Unpack(payload, size + 7).out, in.data) << in.name;
        if (size > 0) {
            EXPECT_EQ(Unpack(payload, size - 1).produced, 0u) << in.name;
        }
    }
}

// lc = 4 with lp = 1 needs more probabilities than the decoder holds room for.
TEST(UnpackLzma, LiteralSettingsBeyondTheDecodersRoomAreRefused)
{
    const Bytes data(5000, 'x');
    Bytes payload;
    ASSERT_TRUE(PackPayload(data, PackMethod{PACK_VERSION_LZMA}, payload));
    ASSERT_EQ(Unpack(payload, 5000).produced, 5000u);
    payload[19] = (2 * 5 + 1) * 9 + 4;
    EXPECT_EQ(Unpack(payload, 5000).produced, 0u);
}
