#include "crc32.h"
#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <emmintrin.h>
#include <wmmintrin.h>
#endif

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

// The running value in its inverted form, as the folds keep it.
static uint32_t FoldBytes(const uint8_t* data, size_t size, uint32_t crc)
{
    if (!TableReady)
        BuildTables();
    for (; size >= 8; size -= 8, data += 8)
        crc = FoldWord(crc ^ LoadLittleEndian(data), 4) ^ FoldWord(LoadLittleEndian(data + 4), 0);
    for (; size; size--, data++)
        crc = Table[0][(crc ^ *data) & 0xFF] ^ (crc >> 8);
    return crc;
}

uint32_t Crc32WithTables(const uint8_t* data, size_t size, uint32_t crc)
{
    return ~FoldBytes(data, size, ~crc);
}

#if defined(__i386__) || defined(__x86_64__)

// Carry-less multiplication folds 64 bytes at a time in four independent
// lanes, then the lanes into one, then 128 bits down to the 32 of the CRC by
// a Barrett reduction. The constants are powers of x modulo the polynomial,
// bit-reflected: x^(4*128+32) and x^(4*128-32) fold across 64 bytes,
// x^(128+32) and x^(128-32) across 16, x^64 from 64 bits to 32, and the
// polynomial with its quotient for the reduction.
static __attribute__((target("pclmul,sse2"))) __m128i FoldLane(__m128i lane, __m128i constants, __m128i next)
{
    const __m128i low = _mm_clmulepi64_si128(lane, constants, 0x00);
    const __m128i high = _mm_clmulepi64_si128(lane, constants, 0x11);
    return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

static __attribute__((target("pclmul,sse2"))) uint32_t FoldMultiplying(const uint8_t* data, size_t size,
                                                                       uint32_t crc)
{
    const __m128i across64 = _mm_set_epi64x(0x01C6E41596, 0x0154442BD4);
    const __m128i across16 = _mm_set_epi64x(0x00CCAA009E, 0x01751997D0);
    const __m128i to32 = _mm_set_epi64x(0, 0x0163CD6124);
    const __m128i barrett = _mm_set_epi64x(0x01F7011641, 0x01DB710641);
    const __m128i low32 = _mm_set_epi32(0, 0, 0, -1);
    const __m128i* in = (const __m128i*)data;
    __m128i a = _mm_xor_si128(_mm_loadu_si128(in), _mm_cvtsi32_si128((int)crc));
    __m128i b = _mm_loadu_si128(in + 1), c = _mm_loadu_si128(in + 2), d = _mm_loadu_si128(in + 3);
    for (in += 4, size -= 64; size >= 64; in += 4, size -= 64) {
        a = FoldLane(a, across64, _mm_loadu_si128(in));
        b = FoldLane(b, across64, _mm_loadu_si128(in + 1));
        c = FoldLane(c, across64, _mm_loadu_si128(in + 2));
        d = FoldLane(d, across64, _mm_loadu_si128(in + 3));
    }
    a = FoldLane(FoldLane(FoldLane(a, across16, b), across16, c), across16, d);
    for (; size >= 16; in++, size -= 16)
        a = FoldLane(a, across16, _mm_loadu_si128(in));
    // 128 bits to 64, to 32, then the remainder by Barrett's reduction.
    a = _mm_xor_si128(_mm_clmulepi64_si128(a, across16, 0x10), _mm_srli_si128(a, 8));
    a = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(a, low32), to32, 0x00), _mm_srli_si128(a, 4));
    __m128i q = _mm_and_si128(_mm_clmulepi64_si128(_mm_and_si128(a, low32), barrett, 0x10), low32);
    a = _mm_xor_si128(a, _mm_clmulepi64_si128(q, barrett, 0x00));
    return (uint32_t)_mm_cvtsi128_si32(_mm_srli_si128(a, 4));
}

static int CanMultiplyCarryLess()
{
    unsigned eax, ebx, ecx = 0, edx;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (ecx & bit_PCLMUL) && (edx & bit_SSE2);
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc)
{
    static int multiply = -1;
    if (multiply < 0)
        multiply = CanMultiplyCarryLess();
    crc = ~crc;
    if (multiply && size >= 64) {
        const size_t folded = size & ~(size_t)15;
        crc = FoldMultiplying(data, folded, crc);
        data += folded;
        size -= folded;
    }
    return ~FoldBytes(data, size, crc);
}

#else

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc)
{
    return Crc32WithTables(data, size, crc);
}

#endif
