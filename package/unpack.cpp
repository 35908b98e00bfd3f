#include "unpack.h"
#include "byte_cursor.h"
#include "crc32.h"
#include "unpack_lzma.h"
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
    memcpy(h.lzmaProperties, bytes + 19, LZMA_PROPERTIES_SIZE);
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
    memcpy(bytes + 19, h.lzmaProperties, LZMA_PROPERTIES_SIZE);
}

namespace {

constexpr size_t MOVE = 16;      // bytes of one wide move
constexpr size_t WIDE_MOVE = 32; // bytes of two: a group's longest literal run, most matches
constexpr unsigned GROUP_TOKENS = 32;
// Room for any group with wide moves: its tokens and a wide move read past
// them in the stream, its output if every token were a longest match and a
// wide move written past it in the area.
constexpr size_t GROUP_STREAM_ROOM = GROUP_TOKENS * 3 + WIDE_MOVE;
constexpr size_t GROUP_AREA_ROOM = GROUP_TOKENS * 255 + WIDE_MOVE;

// Where an expansion stands: the stream still to read and the area still to fill.
struct Expansion {
    const uint8_t* in;
    const uint8_t* inEnd;
    uint8_t* out;
    uint8_t* outEnd;
};

// The index of a group's next match, or GROUP_TOKENS past its end: `matches`
// holds the flag bits of the matches still ahead.
inline unsigned NextMatch(uint32_t matches)
{
    return matches ? (unsigned)__builtin_ctz(matches) : GROUP_TOKENS;
}

// The window base lies n bytes behind the output position, so a match's
// source starts `distance` = n - offset bytes behind it. Source bytes at or
// past the output position are not produced yet and read as the area's zeros;
// wide moves may have left other bytes there, so a match is written as the
// `produced` part of its source followed by explicit zeros.
struct Match {
    size_t distance;
    size_t produced;
    size_t length;
};

// Reads the 3 bytes of a match the stream is known to hold. False for an
// offset outside the window or a length above the limit.
inline bool ReadMatch(Expansion& e, const PackHeader& h, Match& m)
{
    const uint32_t offset = LoadU16(e.in);
    m.length = e.in[2];
    e.in += 3;
    if (offset > h.rawLength || m.length > h.maxMatch)
        return false;
    m.distance = h.rawLength - offset;
    m.produced = m.distance < m.length ? m.distance : m.length;
    return true;
}

// All 16 bytes are loaded before any is stored, so the source may overlap
// the destination.
inline void Move16(uint8_t* to, const uint8_t* from)
{
    uint8_t chunk[MOVE];
    __builtin_memcpy(chunk, from, MOVE);
    __builtin_memcpy(to, chunk, MOVE);
}

// Moves of 32 bytes, at least one, suit the usual short match with one
// predictable branch. A source that overlaps the destination by less than a
// move is still right: the bytes a move needs lie before the output position
// and no store touches them.
inline void CopyProducedWide(uint8_t* out, size_t distance, size_t length)
{
    size_t i = 0;
    do {
        Move16(out + i, out - distance + i);
        Move16(out + i + MOVE, out - distance + i + MOVE);
        i += WIDE_MOVE;
    } while (i < length);
}

// The rare match that reaches the output position, in single moves.
inline void CopyPartlyProducedWide(uint8_t* out, const Match& m)
{
    for (size_t i = 0; i < m.produced; i += MOVE)
        Move16(out + i, out - m.distance + i);
    for (size_t i = m.produced; i < m.length; i += MOVE)
        __builtin_memset(out + i, 0, MOVE);
}

// A group the stream and the area have room for: every literal run, even an
// empty one, and every match is written in wide moves without bounds checks.
// The steps are a literal run and the match after it, which spares a branch
// on which of the two comes next. False for a bad match.
bool ExpandGroupWide(Expansion& e, uint32_t matches, const PackHeader& h)
{
    unsigned next = 0; // the token after the last match
    for (;;) {
        const unsigned at = NextMatch(matches);
        __builtin_memcpy(e.out, e.in, WIDE_MOVE);
        e.out += at - next;
        e.in += at - next;
        if (at == GROUP_TOKENS)
            return true;
        Match m;
        if (!ReadMatch(e, h, m))
            return false;
        if (m.produced == m.length)
            CopyProducedWide(e.out, m.distance, m.length);
        else
            CopyPartlyProducedWide(e.out, m);
        e.out += m.length;
        matches &= matches - 1;
        next = at + 1;
    }
}

// A group near the end of the stream or of the area, copied exactly: it may
// end with the stream, and fails on a token cut off by it or on output that
// would pass the area.
bool ExpandGroupExactly(Expansion& e, uint32_t matches, const PackHeader& h)
{
    unsigned next = 0; // the token after the last match
    for (;;) {
        const unsigned at = NextMatch(matches);
        size_t run = at - next;
        if (run > (size_t)(e.inEnd - e.in))
            run = (size_t)(e.inEnd - e.in);
        if (run > (size_t)(e.outEnd - e.out))
            return false;
        memcpy(e.out, e.in, run);
        e.out += run;
        e.in += run;
        if (at == GROUP_TOKENS || e.in == e.inEnd)
            return true;
        Match m;
        if (e.inEnd - e.in < 3 || !ReadMatch(e, h, m) || m.length > (size_t)(e.outEnd - e.out))
            return false;
        memcpy(e.out, e.out - m.distance, m.produced);
        memset(e.out + m.produced, 0, m.length - m.produced);
        e.out += m.length;
        matches &= matches - 1;
        next = at + 1;
    }
}

bool ExpandGroup(Expansion& e, uint32_t flags, const PackHeader& h)
{
    if ((size_t)(e.inEnd - e.in) >= GROUP_STREAM_ROOM && (size_t)(e.outEnd - e.out) >= GROUP_AREA_ROOM)
        return ExpandGroupWide(e, flags, h);
    return ExpandGroupExactly(e, flags, h);
}

// No wide move writes more than WIDE_MOVE bytes past the output position it
// leaves behind, and the caller relies on the area past the output being
// zeros, as it was handed over.
void ClearOvershoot(uint8_t* out, uint8_t* outEnd)
{
    const size_t room = (size_t)(outEnd - out);
    memset(out, 0, room < WIDE_MOVE ? room : WIDE_MOVE);
}

} // namespace

uint32_t UnpackPayload(const uint8_t* source, uint8_t* destination, uint32_t packedSize, uint32_t capacity)
{
    if (packedSize < PACK_HEADER_SIZE)
        return 0;
    const PackHeader h = ParsePackHeader(source);
    Expansion e = {source + PACK_HEADER_SIZE, source + packedSize, destination, destination + capacity};
    if (Crc32(e.in, (size_t)(e.inEnd - e.in)) != h.crc)
        return 0;
    if (h.version == PACK_VERSION_LZMA)
        return h.unpackedSize <= capacity ? UnpackLzmaStream(e.in, packedSize - PACK_HEADER_SIZE, h.lzmaProperties,
                                                             destination, h.unpackedSize)
                                          : 0;
    if (h.version != PACK_VERSION)
        return 0;

    // A stream may end inside the raw prefix; what was produced so far counts.
    const size_t available = (size_t)(e.inEnd - e.in);
    const size_t prefix = available < h.rawLength ? available : h.rawLength;
    if (prefix > capacity)
        return 0;
    memcpy(e.out, e.in, prefix);
    e.out += prefix;
    e.in += prefix;

    // A flag word cut off by the end of the stream has no tokens behind it,
    // so it ends the stream like a missing one.
    while (e.inEnd - e.in >= 4) {
        const uint32_t flags = LoadU32(e.in);
        e.in += 4;
        if (!ExpandGroup(e, flags, h))
            return 0;
    }
    ClearOvershoot(e.out, e.outEnd);
    return (uint32_t)(e.out - destination);
}
