// Fuzzes the load arithmetic of the setup program: trailer, payload bounds,
// the sizes' agreement and the blocks' layout in their one area.
#include "fuzz_package.h"
#include "package/package_blocks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    std::vector<uint8_t> file;
    PackageTrailer t;
    if (!SetupFileFrom(input, size, file, t))
        return 0;
    const uint8_t* payload = file.data() + t.payloadOffset;
    if (!PayloadSizesAgree(t, ParsePackHeader(payload)))
        return 0;
    // An agreed claim is bounded by what the stream can produce, so the area
    // stays within reach of the input's size.
    std::vector<uint8_t> area(BlockAreaSize(t), 0);
    if (area.empty())
        return 0;
    if (UnpackBlocks(payload, t, area.data()) && (area[t.scriptSize] != 0 || area.back() != 0))
        __builtin_trap();
    return 0;
}
