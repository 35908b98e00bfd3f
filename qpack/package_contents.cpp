#include "package_contents.h"
#include "codepage.h"
#include "package/package_blocks.h"
#include "package/string_table.h"
#include <string.h>

namespace {

bool Unpack(const std::vector<uint8_t>& exe, PackageContents& c, std::string& error)
{
    if (exe.size() < TRAILER_SIZE || exe.size() > 0xFFFFFFFFu) {
        error = "no package: the file is too small or too large for a setup program";
        return false;
    }
    c.trailer = ParseTrailer(exe.data() + exe.size() - TRAILER_SIZE);
    if (!PayloadFitsFile(c.trailer, (uint32_t)exe.size())) {
        error = "no package: the trailer does not describe a payload inside the file";
        return false;
    }
    const uint8_t* payload = exe.data() + c.trailer.payloadOffset;
    c.header = ParsePackHeader(payload);
    if (!PayloadSizesAgree(c.trailer, c.header)) {
        error = "the payload is damaged: its sizes do not add up";
        return false;
    }
    const uint32_t areaSize = BlockAreaSize(c.trailer);
    if (areaSize > (1u << 30)) {
        error = "no package: the trailer claims more than 1 GB of unpacked data";
        return false;
    }
    std::vector<uint8_t> area(areaSize, 0);
    if (!UnpackBlocks(payload, c.trailer, area.data())) {
        error = "the payload is damaged: its CRC, version or compressed stream is wrong";
        return false;
    }
    // Each block keeps the 0 byte that follows it in the setup program too.
    const uint8_t* script = ScriptBlockIn(area.data());
    const uint8_t* data = DataBlockIn(area.data(), c.trailer);
    c.script.assign(script, script + c.trailer.scriptSize + 1);
    c.data.assign(data, data + c.trailer.dataSize + 1);
    return true;
}

void ReadSettings(PackageContents& c)
{
    ByteCursor cursor = ParseSetupStrings(c.script.data(), c.script.size() - 1);
    for (int i = 0; i < 63; i++)
        c.texts.push_back(SetupString(i));
    c.sound = ReadSoundRecord(cursor);
    c.appearance = DefaultAppearance();
    ReadAppearanceRecord(cursor, c.appearance);
    for (SheetRecord& s : c.sheets)
        s = ReadSheetRecord(cursor);
    BannerRecord first;
    if (ReadBannerList(cursor, c.bannerHead, first))
        c.banners.push_back(first);
    const CommandVariant variants[4] = {COMMAND_UNINSTALL_1, COMMAND_UNINSTALL_2, COMMAND_INSTALL, COMMAND_INSTALL};
    for (int i = 0; i < 4; i++)
        c.commands[i] = ReadCommandRecord(cursor, variants[i]);
    for (int i = 0; i < FurtherBannerRecords(c.bannerHead) && !cursor.overrun; i++)
        c.banners.push_back(ReadBannerRecord(cursor));
    if (cursor.overrun)
        c.damage.push_back("the settings records run past the end of the script block");
}

template <typename Record, typename Reader>
void ReadSection(ByteCursor& cursor, const char* name, Reader read, std::vector<Record>& out,
                 std::vector<std::string>& damage)
{
    const int count = ReadSectionCount(cursor);
    if (count < 0) {
        damage.push_back(std::string("the ") + name + " section has no valid count");
        return;
    }
    for (int i = 0; i < count; i++) {
        Record r;
        if (!read(cursor, r)) {
            damage.push_back(std::string(name) + " record " + std::to_string(i) + " is damaged");
            cursor.pos = cursor.end;
            cursor.overrun = 1;
            return;
        }
        out.push_back(r);
    }
}

void ReadData(PackageContents& c)
{
    ByteCursor cursor = CursorOver(c.data.data(), c.data.size() - 1);
    ReadSection(cursor, "file", ReadFileRecordBytes, c.files, c.damage);
    c.fileSectionLength = (uint32_t)(cursor.pos - c.data.data());
    ReadSection(cursor, "shortcut", ReadShortcutRecordBytes, c.shortcuts, c.damage);
    ReadSection(cursor, "registry", ReadRegistryRecordBytes, c.registry, c.damage);
    if (!cursor.overrun && cursor.pos != cursor.end)
        c.damage.push_back(std::to_string(cursor.end - cursor.pos) + " bytes follow the registry section");
}

} // namespace

bool ReadPackageContents(const std::vector<uint8_t>& executable, PackageContents& contents, std::string& error)
{
    if (!Unpack(executable, contents, error))
        return false;
    if (!IsSupportedCodePage(TextCodePage(contents)))
        contents.damage.push_back("the header names code page " + std::to_string(TextCodePage(contents)) +
                                  ", which qpack cannot decode: texts show their ASCII characters only");
    ReadSettings(contents);
    ReadData(contents);
    return true;
}

int TextCodePage(const PackageContents& c)
{
    return c.header.codePage ? c.header.codePage : 1252;
}
