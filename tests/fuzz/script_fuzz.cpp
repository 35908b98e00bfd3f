// Fuzzes the script block: the string table, then every settings record in
// file order, then more banner records than any package holds.
#include "package/settings_records.h"
#include "package/string_table.h"
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    std::vector<uint8_t> script(input, input + size);
    ByteCursor c = ParseSetupStrings(script.data(), script.size());
    for (int slot = 0; slot < 64; slot++)
        if (SetupString(slot)[0] == 1)
            break;
    ReadSoundRecord(c);
    Appearance look = DefaultAppearance();
    ReadAppearanceRecord(c, look);
    for (int i = 0; i < 4; i++)
        ReadSheetRecord(c);
    const BannerHead head = ReadBannerHead(c);
    if (head.count)
        ReadBannerRecord(c);
    ReadCommandRecord(c, COMMAND_UNINSTALL_1);
    ReadCommandRecord(c, COMMAND_UNINSTALL_2);
    ReadCommandRecord(c, COMMAND_INSTALL);
    ReadCommandRecord(c, COMMAND_INSTALL);
    for (int i = 0; i < 3; i++)
        ReadBannerRecord(c);
    if (c.pos > c.end)
        __builtin_trap();
    return 0;
}
