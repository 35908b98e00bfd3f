#include "unpack_lzma.h"
#include "LzmaDec.h"

namespace {

// Room for the decoder's probabilities for lc + lp up to 4, every setting
// encoders use by default: 1846 + 0x300 << 4 of them, 28 KB. The setup
// program's frames stay far below the stack's guard page, and it unpacks
// once, so the room is the program's own rather than the stack's or the
// heap's; each call sets it up afresh.
CLzmaProb Probabilities[1846 + (0x300 << 4)];

void* TakeProbabilities(void*, size_t size)
{
    return size <= sizeof Probabilities ? Probabilities : nullptr;
}

void LeaveProbabilities(void*, void*) {}

} // namespace

uint32_t UnpackLzmaStream(const uint8_t* stream, size_t size, const uint8_t* properties, uint8_t* destination,
                          uint32_t expected)
{
    ISzAlloc room = {TakeProbabilities, LeaveProbabilities};
    SizeT produced = expected;
    SizeT used = size;
    ELzmaStatus status;
    const SRes result = LzmaDecode(destination, &produced, stream, &used, properties, LZMA_PROPS_SIZE,
                                   LZMA_FINISH_END, &status, &room);
    const bool ended = status == LZMA_STATUS_FINISHED_WITH_MARK || status == LZMA_STATUS_MAYBE_FINISHED_WITHOUT_MARK;
    return result == SZ_OK && ended && produced == expected && used == size ? expected : 0;
}
