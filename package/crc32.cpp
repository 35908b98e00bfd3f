#include "crc32.h"

// Slicing by eight: Table[k][b] is the CRC of byte b followed by k zero
// bytes, so eight bytes are folded with eight look-ups and no dependency
// between them; the running value waits only on their sum. The tables are
// computed on first use rather than stored, which keeps 8 KB out of the
// program image.
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

static uint32_t LoadLittleEndian(const uint8_t* p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

// The contribution of a 4-byte word that is followed by zeros bytes more.
static uint32_t FoldWord(uint32_t word, int zeros)
{
    return Table[zeros + 3][word & 0xFF] ^ Table[zeros + 2][(word >> 8) & 0xFF] ^
           Table[zeros + 1][(word >> 16) & 0xFF] ^ Table[zeros][word >> 24];
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc)
{
    if (!TableReady)
        BuildTables();
    crc = ~crc;
    for (; size >= 8; size -= 8, data += 8)
        crc = FoldWord(crc ^ LoadLittleEndian(data), 4) ^ FoldWord(LoadLittleEndian(data + 4), 0);
    for (; size; size--, data++)
        crc = Table[0][(crc ^ *data) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
