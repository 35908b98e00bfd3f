#include "crc32.h"

// Slicing by eight: Table[k][b] is the CRC of byte b followed by k zero bytes,
// so eight bytes are folded with eight look-ups and no dependency between them.
// The tables are computed on first use rather than stored, which keeps 8 KB
// out of the program image.
static uint32_t Table[8][256];
static int TableReady;

static void BuildTables()
{
    for (uint32_t b = 0; b < 256; b++) {
        uint32_t c = b;
        for (int k = 0; k < 8; k++)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        Table[0][b] = c;
    }
    for (uint32_t b = 0; b < 256; b++)
        for (int k = 1; k < 8; k++)
            Table[k][b] = Table[0][Table[k - 1][b] & 0xFF] ^ (Table[k - 1][b] >> 8);
    TableReady = 1;
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc)
{
    if (!TableReady)
        BuildTables();
    crc = ~crc;
    for (; size >= 8; size -= 8, data += 8) {
        uint32_t lo = crc ^ ((uint32_t)data[0] | (uint32_t)data[1] << 8 | (uint32_t)data[2] << 16 |
                             (uint32_t)data[3] << 24);
        uint32_t hi = (uint32_t)data[4] | (uint32_t)data[5] << 8 | (uint32_t)data[6] << 16 |
                      (uint32_t)data[7] << 24;
        crc = Table[7][lo & 0xFF] ^ Table[6][(lo >> 8) & 0xFF] ^ Table[5][(lo >> 16) & 0xFF] ^
              Table[4][lo >> 24] ^ Table[3][hi & 0xFF] ^ Table[2][(hi >> 8) & 0xFF] ^
              Table[1][(hi >> 16) & 0xFF] ^ Table[0][hi >> 24];
    }
    for (; size; size--, data++)
        crc = Table[0][(crc ^ *data) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
