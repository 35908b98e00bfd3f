// The payload: an 84-byte header followed by a stream, verified by CRC-32
// and expanded in one forward pass. The header's version byte names the
// stream's method: the package's own LZ77 variant, which every package of
// earlier builders uses, or LZMA for the smallest setups.
#pragma once
#include <stdint.h>

enum {
    PACK_HEADER_SIZE = 84,
    PACK_VERSION = 2,      // the package's own LZ77 variant
    PACK_VERSION_LZMA = 3, // LZMA, its properties in the header
    LZMA_PROPERTIES_SIZE = 5,
};

struct PackHeader {
    uint32_t rawLength;   // N: raw prefix length and window length; 0 for LZMA
    uint32_t maxMatch;    // M: longest match accepted; 0 for LZMA
    uint32_t unpackedSize; // LZMA: the bytes the stream must produce
    uint32_t crc;         // CRC-32 of the stream after the header
    uint8_t version;
    // Windows code page of the package's texts, for the tools that show them;
    // 0 in packages of builders that did not record it, meaning 1252. The
    // setup program has no use for it: it shows texts in the code page of
    // the machine it runs on.
    uint16_t codePage = 0;
    // LZMA's literal, position and dictionary settings, in LZMA's own 5
    // bytes; zeros for the LZ77 variant.
    uint8_t lzmaProperties[LZMA_PROPERTIES_SIZE] = {};
};

PackHeader ParsePackHeader(const uint8_t* bytes);
void WritePackHeader(const PackHeader& h, uint8_t* bytes);

// Expands packedSize bytes of payload at source into destination, a
// zero-filled area of capacity bytes. Returns the bytes produced, or 0 for a
// CRC mismatch, an unknown version, a bad match, a token cut off by the end
// of the stream, or output that would not fit the area. An LZMA stream must
// produce exactly the header's unpacked size and end there. Copies move whole blocks of
// bytes and may write anywhere inside the area, never outside it: on success
// the bytes past those produced are 0 again, on failure the area holds
// anything.
uint32_t UnpackPayload(const uint8_t* source, uint8_t* destination, uint32_t packedSize, uint32_t capacity);
