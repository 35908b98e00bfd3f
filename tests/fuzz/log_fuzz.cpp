// Fuzzes the reading of an install log as the rollback does it: the fixed
// part, the header block, then records up to the count or the first damaged
// one, never reading past the log.
#include "engine/log_format.h"
#include <string.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    std::vector<uint8_t> log(input, input + size);
    uint32_t count = 0;
    ByteCursor c;
    if (!OpenLogBytes(log.data(), log.size(), &count, &c))
        return 0;
    LogRecord r;
    for (uint32_t i = 0; i < count && ReadLogRecord(c, r); i++)
        if (strlen(r.text) >= LOG_PATH_MAX || strlen(r.valueName) >= LOG_VALUE_NAME_MAX)
            __builtin_trap();
    if (c.pos > c.end)
        __builtin_trap();
    return 0;
}
