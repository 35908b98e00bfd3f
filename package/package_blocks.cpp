#include "package_blocks.h"
#include <string.h>

// An LZMA decision the model has come to expect costs the stream 0.022 bits
// at the least, and the cheapest way to produce bytes, a 273-byte repeat of
// the last match, takes 14 decisions: 0.31 bits, 7,090 bytes from one byte
// of stream. The range coder's 40 bits of state add their own share once.
constexpr uint64_t LZMA_MOST_PER_BYTE = 8192;
constexpr uint64_t LZMA_MOST_FROM_STATE = 65536;

static uint64_t MostOutputOf(const PackHeader& h, uint32_t packedSize)
{
    // The counts of the stream fit 32 bits, so the division does too; only
    // the product needs 64.
    const uint32_t stream = packedSize - PACK_HEADER_SIZE;
    if (h.version == PACK_VERSION_LZMA)
        return stream * LZMA_MOST_PER_BYTE + LZMA_MOST_FROM_STATE;
    const uint32_t prefix = stream < h.rawLength ? stream : h.rawLength;
    const uint32_t rest = stream - prefix;
    const uint64_t perMatch = h.maxMatch < 255 ? h.maxMatch : 255;
    const uint64_t byMatches = rest / 3 * perMatch;
    return prefix + (byMatches > rest ? byMatches : rest);
}

int PayloadSizesAgree(const PackageTrailer& t, const PackHeader& h)
{
    const uint64_t halves = (uint64_t)t.scriptSize + t.dataSize;
    return t.packedSize >= PACK_HEADER_SIZE && h.unpackedSize == halves &&
           halves <= MostOutputOf(h, t.packedSize);
}

uint32_t BlockAreaSize(const PackageTrailer& t)
{
    const uint64_t size = (uint64_t)t.scriptSize + t.dataSize + 2;
    return size > 0xFFFFFFFFu ? 0 : (uint32_t)size;
}

int UnpackBlocks(const uint8_t* payload, const PackageTrailer& t, uint8_t* area)
{
    const uint32_t unpacked = t.scriptSize + t.dataSize;
    // A stream that produces nothing cannot be told from a failed one.
    if (BlockAreaSize(t) == 0 || unpacked == 0)
        return 0;
    // The stream goes in one byte from the start; moving the small script
    // half down opens the gap for its terminator without touching the data.
    if (UnpackPayload(payload, area + 1, t.packedSize, unpacked) != unpacked)
        return 0;
    memmove(area, area + 1, t.scriptSize);
    area[t.scriptSize] = 0;
    return 1;
}
