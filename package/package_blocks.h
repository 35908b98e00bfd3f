// How a payload becomes the script and data blocks. Both live in one area:
// the script at its start and the data one byte behind the script's end,
// each followed by a 0 byte, so the unpacked bytes are never copied.
#pragma once
#include "trailer.h"
#include "unpack.h"

// 1 when the header's unpacked size is the two halves' sum and a stream of
// the trailer's packed size could produce that many bytes at all: its raw
// prefix, then at most one byte per literal byte and min(M, 255) per 3-byte
// match; or for LZMA, at most 8 KB per byte. Needs only the header, so a false claim is refused before anything
// is allocated for it.
int PayloadSizesAgree(const PackageTrailer& t, const PackHeader& h);

// Bytes of the zero-filled area the blocks need; 0 when they exceed 32 bits.
uint32_t BlockAreaSize(const PackageTrailer& t);

// Unpacks the payload into area and lays out the blocks. 1 only when the
// stream is sound and produced exactly the declared halves.
int UnpackBlocks(const uint8_t* payload, const PackageTrailer& t, uint8_t* area);

inline uint8_t* ScriptBlockIn(uint8_t* area) { return area; }
inline uint8_t* DataBlockIn(uint8_t* area, const PackageTrailer& t) { return area + t.scriptSize + 1; }
