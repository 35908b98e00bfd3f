// Fuzzes the payload decoder past its CRC: the input's first 8 bytes choose
// the window and the match limit, the rest is the stream, and the header is
// given the stream's true CRC so that every input reaches the decoder.
#include "package/crc32.h"
#include "package/unpack.h"
#include <stdint.h>
#include <string.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    if (size < 8)
        return 0;
    std::vector<uint8_t> payload(PACK_HEADER_SIZE + size - 8);
    memcpy(payload.data() + PACK_HEADER_SIZE, input + 8, size - 8);
    const PackHeader h = {input[0] | (uint32_t)input[1] << 8, input[4], 0,
                          Crc32(input + 8, size - 8), PACK_VERSION};
    WritePackHeader(h, payload.data());
    const uint32_t capacity = (uint32_t)(input[2] | input[3] << 8) * 4;
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
