// Bounded little-endian reading of package bytes. A read that would pass the
// end yields zeros, moves the cursor to the end and marks it overrun, so a
// record cut off by the end of its block is recognised by one test afterwards.
#pragma once
#include <stdint.h>
#include <stddef.h>

inline uint16_t LoadU16(const uint8_t* p) { return (uint16_t)(p[0] | p[1] << 8); }
inline uint32_t LoadU32(const uint8_t* p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}
inline void StoreU16(uint8_t* p, uint16_t v) { p[0] = (uint8_t)v; p[1] = (uint8_t)(v >> 8); }
inline void StoreU32(uint8_t* p, uint32_t v)
{
    p[0] = (uint8_t)v; p[1] = (uint8_t)(v >> 8); p[2] = (uint8_t)(v >> 16); p[3] = (uint8_t)(v >> 24);
}

struct ByteCursor {
    uint8_t* pos;
    uint8_t* end;
    int overrun;
};

inline ByteCursor CursorOver(uint8_t* begin, size_t size) { return ByteCursor{begin, begin + size, 0}; }
inline size_t Remaining(const ByteCursor& c) { return (size_t)(c.end - c.pos); }

// Returns the start of the next n bytes and moves past them, or null when fewer remain.
uint8_t* TakeBytes(ByteCursor& c, size_t n);
uint8_t TakeU8(ByteCursor& c);
uint16_t TakeU16(ByteCursor& c);
uint32_t TakeU32(ByteCursor& c);

// A text field of `length` bytes whose last byte is its terminator. The
// terminator is written into the block, so a field whose stored last byte is
// not 0 still reads as a text that ends inside the field. Length 0 reads as "".
const char* TakeText(ByteCursor& c, size_t length);
