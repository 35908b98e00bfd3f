// Fuzzes the payload decoders past their CRC: the input's first 8 bytes
// choose the method and its settings, the rest is the stream, and the header
// is given the stream's true CRC so that every input reaches a decoder.
//   bytes 0-1: N; 2-3: the area's capacity in 4-byte units; 5: odd for LZMA
//   LZ77: 4: M
//   LZMA: 4: how many bytes short of the capacity the claim is; 6: LZMA's
//   literal and position bits; 7: its dictionary's size as a power of 2
#include "package/byte_cursor.h"
#include "package/crc32.h"
#include "package/unpack.h"
#include <stdint.h>
#include <string.h>
#include <vector>

namespace {

PackHeader HeaderFor(const uint8_t* input, size_t size, uint32_t capacity)
{
    PackHeader h = {};
    h.crc = Crc32(input + 8, size - 8);
    if (input[5] & 1) {
        h.version = PACK_VERSION_LZMA;
        h.unpackedSize = capacity > input[4] ? capacity - input[4] : 0;
        h.lzmaProperties[0] = input[6];
        StoreU32(h.lzmaProperties + 1, 1u << (input[7] & 31));
    } else {
        h.version = PACK_VERSION;
        h.rawLength = LoadU16(input);
        h.maxMatch = input[4];
    }
    return h;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    if (size < 8)
        return 0;
    const uint32_t capacity = (uint32_t)LoadU16(input + 2) * 4;
    std::vector<uint8_t> payload(PACK_HEADER_SIZE + size - 8);
    memcpy(payload.data() + PACK_HEADER_SIZE, input + 8, size - 8);
    WritePackHeader(HeaderFor(input, size, capacity), payload.data());
    // One byte more than the capacity: the loader never passes a null area,
    // and a write just past the capacity would not be caught otherwise.
    std::vector<uint8_t> area(capacity + 1, 0);
    const uint32_t produced = UnpackPayload(payload.data(), area.data(), (uint32_t)payload.size(), capacity);
    if (produced > capacity || area[capacity] != 0)
        __builtin_trap();
    // After a success the area past the output is zeros again, as it was
    // handed over: each byte from there on equals the next, the first is 0.
    const uint8_t* past = area.data() + produced;
    if (produced != 0 && (past[0] != 0 || memcmp(past, past + 1, capacity - produced) != 0))
        __builtin_trap();
    return 0;
}
