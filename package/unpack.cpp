#include "unpack.h"
#include "byte_cursor.h"
#include "crc32.h"
#include <string.h>

PackHeader ParsePackHeader(const uint8_t* bytes)
{
    PackHeader h;
    h.rawLength = LoadU32(bytes);
    h.maxMatch = LoadU32(bytes + 4);
    h.unpackedSize = LoadU32(bytes + 8);
    h.crc = LoadU32(bytes + 12);
    h.version = bytes[16];
    h.codePage = LoadU16(bytes + 17);
    return h;
}

void WritePackHeader(const PackHeader& h, uint8_t* bytes)
{
    memset(bytes, 0, PACK_HEADER_SIZE);
    StoreU32(bytes, h.rawLength);
    StoreU32(bytes + 4, h.maxMatch);
    StoreU32(bytes + 8, h.unpackedSize);
    StoreU32(bytes + 12, h.crc);
    bytes[16] = h.version;
    StoreU16(bytes + 17, h.codePage);
}

uint32_t UnpackAreaSize(uint32_t scriptSize, uint32_t dataSize)
{
    uint64_t size = (uint64_t)scriptSize + dataSize + PACK_SLACK;
    return size > 0xFFFFFFFFu ? 0 : (uint32_t)size;
}

// Index of the lowest set bit of a nonzero word.
static unsigned LowestSetBit(uint32_t word)
{
    return (unsigned)__builtin_ctz(word);
}

uint32_t UnpackPayload(const uint8_t* source, uint8_t* destination, uint32_t packedSize, uint32_t capacity)
{
    if (packedSize < PACK_HEADER_SIZE)
        return 0;
    const PackHeader h = ParsePackHeader(source);
    const uint8_t* in = source + PACK_HEADER_SIZE;
    const uint8_t* const inEnd = source + packedSize;
    if (Crc32(in, (size_t)(inEnd - in)) != h.crc || h.version != PACK_VERSION)
        return 0;

    uint8_t* out = destination;
    uint8_t* const outEnd = destination + capacity;
    const uint32_t n = h.rawLength;

    // A stream may end inside the raw prefix; what was produced so far counts.
    size_t prefix = (size_t)(inEnd - in) < n ? (size_t)(inEnd - in) : n;
    if (prefix > capacity)
        return 0;
    memcpy(out, in, prefix);
    out += prefix;
    in += prefix;

    // A flag word cut off by the end of the stream has no tokens behind it,
    // so it ends the stream like a missing one.
    while (inEnd - in >= 4) {
        const uint32_t flags = LoadU32(in);
        in += 4;
        unsigned bit = 0;
        while (bit < 32 && in < inEnd) {
            const uint32_t rest = flags >> bit;
            if (!(rest & 1)) {
                size_t run = rest ? LowestSetBit(rest) : 32 - bit;
                if (run > (size_t)(inEnd - in))
                    run = (size_t)(inEnd - in);
                if (run > (size_t)(outEnd - out))
                    return 0;
                memcpy(out, in, run);
                out += run;
                in += run;
                bit += (unsigned)run;
                continue;
            }
            if (inEnd - in < 3)
                return 0;
            const uint32_t offset = LoadU16(in);
            const uint32_t length = in[2];
            in += 3;
            if (offset > n || length > h.maxMatch || length > (size_t)(outEnd - out))
                return 0;
            // The window base lies n bytes behind the output position. Bytes at
            // or past the output position are not produced yet and read as the
            // area's zeros; memmove keeps that true even where the source
            // overlaps the destination.
            memmove(out, out - n + offset, length);
            out += length;
            bit++;
        }
    }
    return (uint32_t)(out - destination);
}
