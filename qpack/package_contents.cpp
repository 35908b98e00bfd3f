#include "package_contents.h"
#include "codepage.h"
#include "file_facts.h"
#include "package_limits.h"
#include "package/package_blocks.h"
#include "package/string_table.h"
#include <algorithm>
#include <string.h>

namespace {

bool SizeCanHold(uint64_t fileSize, std::string& error)
{
    if (fileSize >= TRAILER_SIZE && fileSize <= 0xFFFFFFFFu)
        return true;
    error = "no package: the file is too small or too large for a setup program";
    return false;
}

// The trailer's claims are judged before anything is read or allocated for
// them, so that a small file cannot make qpack take gigabytes.
bool WithinLimits(const PackageTrailer& t, std::string& error)
{
    const uint64_t unpacked = (uint64_t)t.scriptSize + t.dataSize;
    if (unpacked <= UNPACKED_LIMIT && t.packedSize <= PACKED_LIMIT)
        return true;
    error = "no package qpack reads: the trailer claims " + std::to_string(unpacked) + " bytes unpacked from " +
            std::to_string(t.packedSize) + " packed; qpack builds and reads packages of at most " +
            std::to_string(UNPACKED_LIMIT >> 20) + " MB";
    return false;
}

bool TrailerFits(const uint8_t* trailer, uint64_t fileSize, PackageContents& c, std::string& error)
{
    c.trailer = ParseTrailer(trailer);
    if (!PayloadFitsFile(c.trailer, (uint32_t)fileSize)) {
        error = "no package: the trailer does not describe a payload inside the file";
        return false;
    }
    return WithinLimits(c.trailer, error);
}

// The header's claim must agree with the trailer's before the area is allocated.
bool HeaderAgrees(const uint8_t* header, PackageContents& c, std::string& error)
{
    c.header = ParsePackHeader(header);
    if (PayloadSizesAgree(c.trailer, c.header))
        return true;
    error = "the payload is damaged: its sizes do not add up";
    return false;
}

bool UnpackArea(const uint8_t* payload, const PackageContents& c, std::vector<uint8_t>& area, std::string& error)
{
    area.assign(BlockAreaSize(c.trailer), 0);
    if (UnpackBlocks(payload, c.trailer, area.data()))
        return true;
    error = "the payload is damaged: its CRC, version or compressed stream is wrong";
    return false;
}

// Where the package ends in a file whose first headSize bytes are head:
// before a signature's certificate table, as the setup program finds it.
// A PE header beyond what was read is no setup program's.
uint64_t PackageEndIn(const uint8_t* head, size_t headSize, uint64_t fileSize)
{
    if (headSize < 256 || fileSize > 0xFFFFFFFFu || LoadU32(head + 60) > headSize - 192)
        return fileSize;
    return PackageEnd(head, (uint32_t)fileSize);
}

bool UnpackFromMemory(const std::vector<uint8_t>& exe, PackageContents& c, std::vector<uint8_t>& area,
                      std::string& error)
{
    const uint64_t end = PackageEndIn(exe.data(), exe.size(), exe.size());
    c.signatureSize = exe.size() - end;
    if (!SizeCanHold(end, error) || !TrailerFits(exe.data() + end - TRAILER_SIZE, end, c, error))
        return false;
    const uint8_t* payload = exe.data() + c.trailer.payloadOffset;
    return HeaderAgrees(payload, c, error) && UnpackArea(payload, c, area, error);
}

bool ReadRange(int fd, uint64_t offset, uint8_t* out, size_t size, std::string& error)
{
    std::string reason;
    if (ReadAt(fd, offset, out, size, reason))
        return true;
    error = "cannot read the file: " + reason;
    return false;
}

// Reads the trailer, the header and then only the payload they describe.
bool UnpackFromFile(int fd, uint64_t fileSize, PackageContents& c, std::vector<uint8_t>& area, std::string& error)
{
    uint8_t head[4096], trailer[TRAILER_SIZE], header[PACK_HEADER_SIZE];
    const size_t headSize = (size_t)std::min<uint64_t>(fileSize, sizeof head);
    if (!ReadRange(fd, 0, head, headSize, error))
        return false;
    const uint64_t end = PackageEndIn(head, headSize, fileSize);
    c.signatureSize = fileSize - end;
    if (!SizeCanHold(end, error) || !ReadRange(fd, end - TRAILER_SIZE, trailer, TRAILER_SIZE, error) ||
        !TrailerFits(trailer, end, c, error))
        return false;
    if (!ReadRange(fd, c.trailer.payloadOffset, header, PACK_HEADER_SIZE, error) || !HeaderAgrees(header, c, error))
        return false;
    std::vector<uint8_t> payload(c.trailer.packedSize);
    return ReadRange(fd, c.trailer.payloadOffset, payload.data(), payload.size(), error) &&
           UnpackArea(payload.data(), c, area, error);
}

// Each block keeps the 0 byte that follows it in the setup program too. The
// data block is most of the area and takes it over rather than a copy.
void KeepBlocks(std::vector<uint8_t>& area, PackageContents& c)
{
    const auto dataStart = area.begin() + c.trailer.scriptSize + 1;
    c.script.assign(area.begin(), dataStart);
    area.erase(area.begin(), dataStart);
    c.data = std::move(area);
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

// Where a damaged section ends is unknown, and so is where the next one
// starts: the sections behind it are left unread rather than reported too.
void GiveUpSections(ByteCursor& cursor, std::vector<std::string>& damage, const std::string& what)
{
    damage.push_back(what);
    cursor.pos = cursor.end;
    cursor.overrun = 1;
}

template <typename Record, typename Reader>
void ReadSection(ByteCursor& cursor, const char* name, Reader read, std::vector<Record>& out,
                 std::vector<std::string>& damage)
{
    if (cursor.overrun)
        return;
    const int count = ReadSectionCount(cursor);
    if (count < 0) {
        GiveUpSections(cursor, damage, std::string("the ") + name + " section has no valid count");
        return;
    }
    for (int i = 0; i < count; i++) {
        Record r;
        if (!read(cursor, r)) {
            GiveUpSections(cursor, damage, std::string(name) + " record " + std::to_string(i) + " is damaged");
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

void ReadRecords(std::vector<uint8_t>& area, PackageContents& contents)
{
    KeepBlocks(area, contents);
    if (!IsSupportedCodePage(TextCodePage(contents)))
        contents.damage.push_back("the header names code page " + std::to_string(TextCodePage(contents)) +
                                  ", which qpack cannot decode: texts show their ASCII characters only");
    ReadSettings(contents);
    UseLeadBytesOf(TextCodePage(contents));
    ReadData(contents);
}

} // namespace

bool ReadPackageContents(const std::vector<uint8_t>& executable, PackageContents& contents, std::string& error)
{
    std::vector<uint8_t> area;
    if (!UnpackFromMemory(executable, contents, area, error))
        return false;
    ReadRecords(area, contents);
    return true;
}

bool ReadPackageFile(const std::string& path, PackageContents& contents, std::string& error)
{
    uint64_t size = 0;
    std::string reason;
    const int fd = OpenRegularFile(path, size, reason);
    if (fd < 0) {
        error = "cannot read the file: " + reason;
        return false;
    }
    std::vector<uint8_t> area;
    const bool unpacked = UnpackFromFile(fd, size, contents, area, error);
    CloseFile(fd);
    if (unpacked)
        ReadRecords(area, contents);
    return unpacked;
}

int TextCodePage(const PackageContents& c)
{
    return c.header.codePage ? c.header.codePage : 1252;
}
