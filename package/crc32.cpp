#include "crc32.h"
#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <emmintrin.h>
#include <wmmintrin.h>
#endif

// One byte at a time through one table, computed on first use rather than
// stored; processors that multiply carry-less take the long runs below.
static uint32_t Table[256];

static void BuildTable()
{
    for (uint32_t b = 0; b < 256; b++) {
        uint32_t c = b;
        for (int k = 0; k < 8; k++)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        Table[b] = c;
    }
}

// The running value in its inverted form, as the folds keep it.
static uint32_t FoldBytes(const uint8_t* data, size_t size, uint32_t crc)
{
    if (!Table[1])
        BuildTable();
    for (; size; size--, data++)
        crc = Table[(crc ^ *data) & 0xFF] ^ (crc >> 8);
    return crc;
}

uint32_t Crc32WithTable(const uint8_t* data, size_t size, uint32_t crc)
{
    return ~FoldBytes(data, size, ~crc);
}

#if defined(__i386__) || defined(__x86_64__)

// Carry-less multiplication folds 16 bytes at a time into a 128-bit
// remainder whose CRC, from a register of 0, is the CRC of all the bytes:
// the table takes its 16 bytes. The constants are powers of x modulo the
// polynomial, bit-reflected, x^(128-32) and x^(128+32).
static __attribute__((target("pclmul,sse2"))) uint32_t FoldMultiplying(const uint8_t* data, size_t size,
                                                                       uint32_t crc)
{
    const __m128i across16 = _mm_set_epi64x(0x00CCAA009E, 0x01751997D0);
    const __m128i* in = (const __m128i*)data;
    __m128i a = _mm_xor_si128(_mm_loadu_si128(in), _mm_cvtsi32_si128((int)crc));
    for (in++, size -= 16; size >= 16; in++, size -= 16) {
        const __m128i low = _mm_clmulepi64_si128(a, across16, 0x00);
        const __m128i high = _mm_clmulepi64_si128(a, across16, 0x11);
        a = _mm_xor_si128(_mm_xor_si128(low, high), _mm_loadu_si128(in));
    }
    uint8_t remainder[16];
    _mm_storeu_si128((__m128i*)remainder, a);
    return FoldBytes(remainder, sizeof remainder, 0);
}

// Every processor Windows runs on answers CPUID's first leaf; the CRC is
// taken once a run, so the question is not worth remembering.
static int CanMultiplyCarryLess()
{
    unsigned eax, ebx, ecx, edx;
    __cpuid(1, eax, ebx, ecx, edx);
    return (ecx & bit_PCLMUL) && (edx & bit_SSE2);
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc)
{
    crc = ~crc;
    if (size >= 16 && CanMultiplyCarryLess()) {
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
    return Crc32WithTable(data, size, crc);
}

#endif
