#include "package/package_writer.h"
#include "package/stream_encoder.h"
#include "package/unpack.h"
#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string.h>

namespace {

const CompressionLevel LEVELS[] = {COMPRESS_FAST, COMPRESS_BEST};

Bytes Random(size_t size, uint32_t seed)
{
    std::mt19937 random(seed);
    Bytes out(size);
    for (uint8_t& b : out)
        b = (uint8_t)random();
    return out;
}

Bytes Text(size_t size, uint32_t seed)
{
    static const char* words[] = {"setup ", "install ", "file ", "folder\n", "program ", "window ",
                                  "registry ", "value\n", "shortcut ", "    ", "version ", "system "};
    std::mt19937 random(seed);
    Bytes out;
    while (out.size() < size) {
        const char* w = words[random() % 12];
        out.insert(out.end(), w, w + strlen(w));
    }
    out.resize(size);
    return out;
}

Bytes Repeated(size_t size, uint8_t byte) { return Bytes(size, byte); }

// Pieces that make the decoder's zeros matter: records padded with zeros,
// runs of one byte, short patterns repeated, text and noise, some repeated
// far back and some longer than a match.
Bytes Mixed(size_t size, uint32_t seed)
{
    std::mt19937 random(seed);
    Bytes out;
    while (out.size() < size) {
        const size_t length = random() % 3000 + 1;
        Bytes piece;
        switch (random() % 7) {
        case 0:
            piece = Random(random() % 9, random());
            piece.resize(length);
            break;
        case 1:
            piece = Repeated(length, (uint8_t)(random() % 3 * 0x66));
            break;
        case 2: {
            const size_t period = random() % 7 + 1;
            for (size_t k = 0; k < length; k++)
                piece.push_back((uint8_t)"ab\0c\0\0x"[k % period]);
            break;
        }
        case 3:
            piece = Text(length, random());
            break;
        case 4:
            piece = Random(length, random());
            break;
        default:
            if (out.size() > length) {
                const size_t from = random() % (out.size() - length);
                piece.assign(out.begin() + from, out.begin() + from + length);
            }
        }
        out.insert(out.end(), piece.begin(), piece.end());
    }
    out.resize(size);
    return out;
}

struct Kind {
    const char* name;
    Bytes data;
};

std::vector<Kind> Kinds()
{
    return {
        {"empty", {}},
        {"one byte", {7}},
        {"three zeros", {0, 0, 0}},
        {"four bytes", {1, 0, 0, 0}},
        {"random", Random(5000, 1)},
        {"text", Text(20000, 2)},
        {"zeros", Repeated(3000, 0)},
        {"one nonzero byte repeated", Repeated(3000, 0xCC)},
        {"a byte then zeros", [] { Bytes b = Repeated(1000, 0); b[0] = 9; return b; }()},
        {"mixed", Mixed(100000, 3)},
    };
}

const uint32_t WINDOWS[] = {0, 1, 2, 3, 4, 5, 17, 255, 256, 2048, 65535};

Bytes Pack(const Bytes& data, StreamParameters parameters, CompressionLevel level)
{
    Bytes payload;
    EXPECT_TRUE(PackPayload(data, PackMethod{PACK_VERSION, parameters, level}, payload));
    return payload;
}

// Unpacks with exactly the capacity the loader gives, into an area followed
// by the one byte of the data block's terminator, as in the loader.
::testing::AssertionResult RoundTrips(const Bytes& data, uint32_t window, CompressionLevel level)
{
    const Bytes payload = Pack(data, StreamParameters{window, 255}, level);
    std::vector<uint8_t> area(data.size() + 1, 0);
    const uint32_t produced =
        UnpackPayload(payload.data(), area.data(), (uint32_t)payload.size(), (uint32_t)data.size());
    if (produced != data.size())
        return ::testing::AssertionFailure() << "produced " << produced << " of " << data.size();
    if (!std::equal(data.begin(), data.end(), area.begin()))
        return ::testing::AssertionFailure() << "bytes differ";
    return ::testing::AssertionSuccess();
}

size_t StreamSize(const Bytes& data, uint32_t window, CompressionLevel level)
{
    return EncodeStream(data.data(), data.size(), StreamParameters{window, 255}, level).size();
}

} // namespace

TEST(StreamEncoder, EveryKindRoundTripsWithEveryWindowAtBothLevels)
{
    for (const Kind& kind : Kinds())
        for (uint32_t window : WINDOWS)
            for (CompressionLevel level : LEVELS)
                EXPECT_TRUE(RoundTrips(kind.data, window, level))
                    << kind.name << ", N = " << window << ", level " << level;
}

TEST(StreamEncoder, InputLongerThanSeveralBlocksRoundTrips)
{
    const Bytes data = Mixed(1200000, 4);
    for (CompressionLevel level : LEVELS) {
        EXPECT_TRUE(RoundTrips(data, 65535, level)) << "level " << level;
        EXPECT_TRUE(RoundTrips(data, 300, level)) << "level " << level;
    }
}

TEST(StreamEncoder, ShorterMatchLimitIsKept)
{
    const Bytes data = Mixed(50000, 5);
    for (CompressionLevel level : LEVELS)
        for (uint32_t limit : {0u, 2u, 3u, 4u, 100u}) {
            const Bytes payload = Pack(data, StreamParameters{2048, limit}, level);
            std::vector<uint8_t> area(data.size(), 0);
            EXPECT_EQ(UnpackPayload(payload.data(), area.data(), (uint32_t)payload.size(), (uint32_t)area.size()),
                      data.size())
                << "M = " << limit << ", level " << level;
            EXPECT_EQ(memcmp(area.data(), data.data(), data.size()), 0);
        }
}

TEST(StreamEncoder, InputShorterThanTheWindowIsAllRawPrefix)
{
    const Bytes data = Text(1000, 6);
    for (CompressionLevel level : LEVELS)
        EXPECT_EQ(EncodeStream(data.data(), data.size(), StreamParameters{2048, 255}, level), data);
}

// 40 matches of up to 255 zeros in two flag words: nothing can be shorter.
TEST(StreamEncoder, ZerosWithoutPrefixAreCopiedFromPastTheOutput)
{
    const Bytes zeros = Repeated(10000, 0);
    for (CompressionLevel level : LEVELS)
        EXPECT_EQ(StreamSize(zeros, 0, level), 40u * 3 + 2 * 4) << "level " << level;
}

// A match cannot repeat its own output, so after the prefix every match needs
// a source at least as far back as it is long: 32 matches of up to 255 bytes.
TEST(StreamEncoder, RunOfANonzeroByteTakesFullMatchesFromFarEnoughBack)
{
    const Bytes run = Repeated(10000, 'A');
    EXPECT_EQ(StreamSize(run, 2048, COMPRESS_BEST), 2048u + 32 * 3 + 4);
}

TEST(StreamEncoder, BestIsNeverLargerThanFast)
{
    for (const Kind& kind : Kinds())
        for (uint32_t window : {0u, 5u, 2048u, 65535u})
            EXPECT_LE(StreamSize(kind.data, window, COMPRESS_BEST), StreamSize(kind.data, window, COMPRESS_FAST))
                << kind.name << ", N = " << window;
}

TEST(StreamEncoder, BestIsSmallerThanFastOnMixedData)
{
    const Bytes data = Mixed(300000, 7);
    EXPECT_LT(StreamSize(data, 65535, COMPRESS_BEST) * 100, StreamSize(data, 65535, COMPRESS_FAST) * 97);
}

TEST(StreamEncoder, SameInputGivesSameBytes)
{
    const Bytes data = Mixed(700000, 8);
    for (CompressionLevel level : LEVELS) {
        const StreamParameters p = ChooseStreamParameters(data.data(), data.size(), level);
        const StreamParameters q = ChooseStreamParameters(data.data(), data.size(), level);
        EXPECT_EQ(p.rawLength, q.rawLength);
        EXPECT_EQ(EncodeStream(data.data(), data.size(), p, level), EncodeStream(data.data(), data.size(), q, level));
    }
}

// Builds stay reproducible: the best level's blocks, found by any number of
// threads, give the same stream, and it still unpacks.
TEST(StreamEncoder, SameBytesFromEveryThreadCount)
{
    const Bytes data = Mixed(1200000, 5);
    for (uint32_t window : {65535u, 300u}) {
        const StreamParameters p{window, 255};
        SetEncoderThreads(1);
        const Bytes one = EncodeStream(data.data(), data.size(), p, COMPRESS_BEST);
        for (unsigned threads : {2u, 3u, 8u}) {
            SetEncoderThreads(threads);
            EXPECT_EQ(EncodeStream(data.data(), data.size(), p, COMPRESS_BEST), one) << threads << " threads";
        }
        EXPECT_TRUE(RoundTrips(data, window, COMPRESS_BEST));
        SetEncoderThreads(1);
    }
}

TEST(StreamEncoder, ChosenParametersAreWithinTheFormat)
{
    for (const Kind& kind : Kinds())
        for (CompressionLevel level : LEVELS) {
            const StreamParameters p = ChooseStreamParameters(kind.data.data(), kind.data.size(), level);
            EXPECT_LE(p.rawLength, 65535u) << kind.name;
            EXPECT_EQ(p.maxMatch, 255u) << kind.name;
            EXPECT_TRUE(RoundTrips(kind.data, p.rawLength, level)) << kind.name;
        }
}

TEST(StreamEncoder, ZerosChooseNoRawPrefix)
{
    const Bytes zeros = Repeated(3000, 0);
    EXPECT_EQ(ChooseStreamParameters(zeros.data(), zeros.size(), COMPRESS_BEST).rawLength, 0u);
}

TEST(StreamEncoder, NoiseIsKeptRaw)
{
    const Bytes noise = Random(3000, 9);
    const StreamParameters p = ChooseStreamParameters(noise.data(), noise.size(), COMPRESS_BEST);
    EXPECT_GE(p.rawLength, noise.size());
}

TEST(StreamEncoder, LargeRepetitiveInputGetsTheWholeWindow)
{
    const Bytes data = Mixed(2000000, 10);
    EXPECT_EQ(ChooseStreamParameters(data.data(), data.size(), COMPRESS_BEST).rawLength, 65535u);
}

TEST(StreamEncoder, ProgressReachesTheTotal)
{
    struct Seen {
        size_t calls, last, total;
        bool forward;
    } seen = {0, 0, 0, true};
    const EncodeProgress progress = {[](void* context, size_t done, size_t total) {
                                         Seen& s = *(Seen*)context;
                                         s.forward = s.forward && done >= s.last && done <= total;
                                         s.calls++;
                                         s.last = done;
                                         s.total = total;
                                     },
                                     &seen};
    const Bytes data = Mixed(600000, 11);
    for (CompressionLevel level : LEVELS) {
        seen = {0, 0, 0, true};
        EncodeStream(data.data(), data.size(), StreamParameters{65535, 255}, level, &progress);
        EXPECT_GT(seen.calls, 1u);
        EXPECT_TRUE(seen.forward);
        EXPECT_EQ(seen.last, data.size());
        EXPECT_EQ(seen.total, data.size());
    }
}
