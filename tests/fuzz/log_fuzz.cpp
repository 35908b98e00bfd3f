// Fuzzes the reading of an install log as the rollback does it (the fixed
// part, the header block, then records up to the count or the first damaged
// one) and as the uninstaller does it (the header's texts and commands, the
// test that the log is whole, and the check of what its records name), never
// reading past the log.
#include "engine/log_check.h"
#include <string.h>
#include <vector>

static void CheckText(const char* text, size_t limit)
{
    if (strlen(text) >= limit)
        __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    std::vector<uint8_t> log(input, input + size);
    uint32_t count = 0;
    ByteCursor c;
    if (OpenLogBytes(log.data(), log.size(), &count, &c)) {
        LogRecord r;
        for (uint32_t i = 0; i < count && ReadLogRecord(c, r); i++) {
            CheckText(r.text, LOG_PATH_MAX);
            CheckText(r.valueName, LOG_VALUE_NAME_MAX);
        }
        if (c.pos > c.end)
            __builtin_trap();
    }
    std::vector<uint8_t> again(input, input + size);
    LogHeader h = {};
    uint8_t flags = 0;
    if (ReadLogHeader(again.data(), again.size(), h, &flags))
        for (const char* text : {h.product, h.question, h.success, h.partial, h.sessionQuestion, h.first.path,
                                 h.first.arguments, h.first.message, h.second.path, h.second.arguments})
            CheckText(text, 1 << 16);
    std::vector<uint8_t> whole(input, input + size);
    LogIsWhole(whole.data(), whole.size(), &count);
    static const InstallFolders folders = {{"C:\\P\\", "C:\\W\\", "C:\\W\\S\\", ""}, 4};
    std::vector<uint8_t> checked(input, input + size);
    if (FirstRefusedRecord(checked.data(), checked.size(), folders) > (long)count)
        __builtin_trap();
    return 0;
}
