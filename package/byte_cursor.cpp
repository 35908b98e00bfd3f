#include "byte_cursor.h"

uint8_t* TakeBytes(ByteCursor& c, size_t n)
{
    if (c.overrun || Remaining(c) < n) {
        c.pos = c.end;
        c.overrun = 1;
        return nullptr;
    }
    uint8_t* at = c.pos;
    c.pos += n;
    return at;
}

uint8_t TakeU8(ByteCursor& c)
{
    const uint8_t* p = TakeBytes(c, 1);
    return p ? p[0] : 0;
}

uint16_t TakeU16(ByteCursor& c)
{
    const uint8_t* p = TakeBytes(c, 2);
    return p ? LoadU16(p) : 0;
}

uint32_t TakeU32(ByteCursor& c)
{
    const uint8_t* p = TakeBytes(c, 4);
    return p ? LoadU32(p) : 0;
}

const char* TakeText(ByteCursor& c, size_t length)
{
    uint8_t* p = TakeBytes(c, length);
    if (!p || length == 0)
        return "";
    p[length - 1] = 0;
    return (const char*)p;
}
