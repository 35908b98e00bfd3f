// The LZMA method of the payload: a raw LZMA stream decoded straight into the
// unpack area, which serves as its dictionary.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Decodes size bytes of stream into the first `expected` bytes of
// destination. Returns expected when the stream produced exactly that many
// bytes, each byte of the stream used and its end marker, if it has one,
// right there; 0 for anything else, including properties whose literal
// contexts (lc + lp above 4) would need more than the decoder's fixed room.
// Writes nothing past destination + expected.
uint32_t UnpackLzmaStream(const uint8_t* stream, size_t size, const uint8_t* properties, uint8_t* destination,
                          uint32_t expected);
