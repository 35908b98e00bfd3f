#include "lzma_encoder.h"
#include "LzmaEnc.h"
#include <stdlib.h>
#include <string.h>

namespace {

constexpr uint32_t SMALLEST_DICTIONARY = 1u << 12;
// Enough for any setup a user downloads whole, and 0.7 GB of the encoder's
// match finder at most.
constexpr uint32_t LARGEST_DICTIONARY = 1u << 26;

void* Allocate(void*, size_t size) { return malloc(size); }
void Release(void*, void* address) { free(address); }
ISzAlloc Heap = {Allocate, Release};

// The SDK's interfaces come first in each, so the pointer the SDK passes
// back is the whole.
struct MemoryInput {
    ISeqInStream stream;
    const uint8_t* next;
    size_t left;
};

SRes ReadMemory(void* p, void* buffer, size_t* size)
{
    MemoryInput* in = (MemoryInput*)p;
    if (*size > in->left)
        *size = in->left;
    if (*size == 0) // an empty input has no bytes to point at
        return SZ_OK;
    memcpy(buffer, in->next, *size);
    in->next += *size;
    in->left -= *size;
    return SZ_OK;
}

struct VectorOutput {
    ISeqOutStream stream;
    std::vector<uint8_t>* bytes;
};

size_t WriteVector(void* p, const void* buffer, size_t size)
{
    std::vector<uint8_t>& bytes = *((VectorOutput*)p)->bytes;
    bytes.insert(bytes.end(), (const uint8_t*)buffer, (const uint8_t*)buffer + size);
    return size;
}

struct ProgressRelay {
    ICompressProgress progress;
    const EncodeProgress* report;
    size_t total;
};

SRes RelayProgress(void* p, UInt64 done, UInt64)
{
    const ProgressRelay* relay = (const ProgressRelay*)p;
    if (relay->report && done != (UInt64)(Int64)-1)
        relay->report->report(relay->report->context, (size_t)done, relay->total);
    return SZ_OK;
}

CLzmaEncProps PropertiesFor(size_t size, CompressionLevel level)
{
    CLzmaEncProps p;
    LzmaEncProps_Init(&p);
    p.level = level == COMPRESS_BEST ? 9 : 5;
    p.fb = level == COMPRESS_BEST ? 273 : 32;
    p.dictSize = size < SMALLEST_DICTIONARY ? SMALLEST_DICTIONARY
                 : size > LARGEST_DICTIONARY ? LARGEST_DICTIONARY
                                             : (uint32_t)size;
    p.writeEndMark = 1;
    p.numThreads = 1;
    return p;
}

} // namespace

bool EncodeLzma(const uint8_t* data, size_t size, CompressionLevel level, const EncodeProgress* progress,
                std::vector<uint8_t>& stream, uint8_t (&properties)[LZMA_PROPERTIES_SIZE])
{
    CLzmaEncHandle encoder = LzmaEnc_Create(&Heap);
    if (!encoder)
        return false;
    const CLzmaEncProps settings = PropertiesFor(size, level);
    SizeT propertiesSize = LZMA_PROPERTIES_SIZE;
    MemoryInput in = {{ReadMemory}, data, size};
    VectorOutput out = {{WriteVector}, &stream};
    ProgressRelay relay = {{RelayProgress}, progress, size};
    stream.clear();
    const bool encoded = LzmaEnc_SetProps(encoder, &settings) == SZ_OK &&
                         LzmaEnc_WriteProperties(encoder, properties, &propertiesSize) == SZ_OK &&
                         LzmaEnc_Encode(encoder, &out.stream, &in.stream, &relay.progress, &Heap, &Heap) == SZ_OK;
    LzmaEnc_Destroy(encoder, &Heap, &Heap);
    return encoded;
}
