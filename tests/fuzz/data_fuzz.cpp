// Fuzzes the data block: the file, shortcut and registry sections, each a
// count and its records, read until the end or the first damaged record.
#include "package/data_records.h"
#include <vector>

namespace {

template <typename Record, typename Reader> bool WalkSection(ByteCursor& c, Reader read)
{
    const int count = ReadSectionCount(c);
    Record r;
    for (int i = 0; i < count; i++)
        if (!read(c, r))
            return false;
    return count >= 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    std::vector<uint8_t> block(input, input + size);
    block.push_back(0); // the block's terminator, as in the setup program
    ByteCursor c = CursorOver(block.data(), size);
    if (WalkSection<FileRecord>(c, ReadFileRecordBytes) && WalkSection<ShortcutRecord>(c, ReadShortcutRecordBytes))
        WalkSection<RegistryRecord>(c, ReadRegistryRecordBytes);
    if (c.pos > c.end || block.back() != 0)
        __builtin_trap();
    return 0;
}
