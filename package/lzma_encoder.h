// The LZMA method's encoder: the strongest settings of the LZMA SDK's
// encoder, single-threaded, so the same bytes always give the same stream.
#pragma once
#include "stream_encoder.h"
#include "unpack.h"

// The raw LZMA stream of the bytes, with its end marker, and the properties
// the decoder needs; false only when memory runs out. The dictionary is as
// large as the bytes, from 4 KB up to 64 MB. The fast level searches less.
bool EncodeLzma(const uint8_t* data, size_t size, CompressionLevel level, const EncodeProgress* progress,
                std::vector<uint8_t>& stream, uint8_t (&properties)[LZMA_PROPERTIES_SIZE]);
