// Setup files for the fuzz targets that read whole packages. A mutated
// payload would almost never pass its CRC, so the CRC is made right before
// the reader sees the file: what is fuzzed is everything behind the check.
#pragma once
#include "package/byte_cursor.h"
#include "package/crc32.h"
#include "package/trailer.h"
#include "package/unpack.h"
#include <vector>

// The input as a setup file, its payload's CRC set to match when the trailer
// places the payload inside the file; false when there is no such trailer.
inline bool SetupFileFrom(const uint8_t* input, size_t size, std::vector<uint8_t>& file, PackageTrailer& t)
{
    if (size < TRAILER_SIZE || size > 0xFFFFFFFFu)
        return false;
    file.assign(input, input + size);
    t = ParseTrailer(file.data() + size - TRAILER_SIZE);
    if (!PayloadFitsFile(t, (uint32_t)size))
        return false;
    uint8_t* payload = file.data() + t.payloadOffset;
    StoreU32(payload + 12, Crc32(payload + PACK_HEADER_SIZE, t.packedSize - PACK_HEADER_SIZE));
    return true;
}
