// Greedy encoder: at each position the longest match found on a hash chain
// over the window, or a run of zeros copied from the not yet produced bytes.
#include "stream_encoder.h"
#include "byte_cursor.h"

using Bytes = std::vector<uint8_t>;

namespace {

void PutU8(Bytes& out, uint8_t v) { out.push_back(v); }
void PutU16(Bytes& out, uint16_t v) { out.push_back((uint8_t)v); out.push_back((uint8_t)(v >> 8)); }
void PutU32(Bytes& out, uint32_t v) { PutU16(out, (uint16_t)v); PutU16(out, (uint16_t)(v >> 16)); }
void PutBytes(Bytes& out, const uint8_t* p, size_t n) { out.insert(out.end(), p, p + n); }

enum { MIN_MATCH = 3, HASH_BITS = 16, CHAIN_DEPTH = 64 };

struct TokenWriter {
    Bytes& out;
    size_t flagAt;
    unsigned used; // tokens in the current group; 32 means a new group is due

    void Begin()
    {
        if (used < 32)
            return;
        flagAt = out.size();
        PutU32(out, 0);
        used = 0;
    }
    void Literal(uint8_t byte)
    {
        Begin();
        PutU8(out, byte);
        used++;
    }
    void Match(uint16_t offset, uint8_t length)
    {
        Begin();
        out[flagAt + used / 8] |= (uint8_t)(1u << (used % 8));
        PutU16(out, offset);
        PutU8(out, length);
        used++;
    }
};

uint32_t Hash3(const uint8_t* p)
{
    return ((uint32_t)p[0] << 16 | (uint32_t)p[1] << 8 | p[2]) * 2654435761u >> (32 - HASH_BITS);
}

// Length of the match at distance d: the decoder reads bytes it has not yet
// produced as zeros, so the source never repeats the match's own output.
size_t MatchLength(const uint8_t* data, size_t at, size_t distance, size_t limit)
{
    size_t k = 0;
    for (; k < limit; k++) {
        const uint8_t source = k < distance ? data[at - distance + k] : 0;
        if (data[at + k] != source)
            break;
    }
    return k;
}

} // namespace

StreamParameters ChooseStreamParameters(const uint8_t*, size_t, CompressionLevel)
{
    return StreamParameters{2048, 255};
}

std::vector<uint8_t> EncodeStream(const uint8_t* data, size_t size, StreamParameters parameters, CompressionLevel,
                                  const EncodeProgress*)
{
    const uint32_t rawLength = parameters.rawLength, maxMatch = parameters.maxMatch;
    Bytes out;
    const size_t window = rawLength;
    const size_t limit = maxMatch > 255 ? 255 : maxMatch;
    const size_t prefix = size < rawLength ? size : rawLength;
    PutBytes(out, data, prefix);

    std::vector<uint32_t> head(1u << HASH_BITS, UINT32_MAX);
    std::vector<uint32_t> previous(size, UINT32_MAX);
    auto insert = [&](size_t at) {
        if (at + MIN_MATCH > size)
            return;
        const uint32_t h = Hash3(data + at);
        previous[at] = head[h];
        head[h] = (uint32_t)at;
    };
    for (size_t i = 0; i < prefix; i++)
        insert(i);

    TokenWriter tokens{out, 0, 32};
    size_t i = prefix;
    while (i < size) {
        const size_t room = size - i < limit ? size - i : limit;
        size_t bestLength = MatchLength(data, i, 0, room);
        size_t bestDistance = 0;
        if (i + MIN_MATCH <= size) {
            uint32_t candidate = head[Hash3(data + i)];
            for (int depth = 0; depth < CHAIN_DEPTH && candidate != UINT32_MAX; depth++) {
                const size_t distance = i - candidate;
                if (distance > window)
                    break;
                const size_t length = MatchLength(data, i, distance, room);
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = distance;
                }
                candidate = previous[candidate];
            }
        }
        if (bestLength < MIN_MATCH) {
            tokens.Literal(data[i]);
            insert(i++);
            continue;
        }
        tokens.Match((uint16_t)(rawLength - bestDistance), (uint8_t)bestLength);
        for (size_t k = 0; k < bestLength; k++)
            insert(i++);
    }
    return out;
}
