#include "package_builder.h"
#include "package_limits.h"

namespace {

Bytes BuildScript(const PackageInputs& in)
{
    Bytes s;
    PutStringTable(s, in.texts);
    PutSoundRecord(s, in.sound, in.playMode);
    PutAppearanceRecord(s, in.appearance);
    for (int i = 0; i < 4; i++)
        PutSheetRecord(s, in.sheets[i], in.sheetReferences[i]);
    PutBannerHead(s, (int16_t)in.banners.size(), in.bannerAtStart);
    if (!in.banners.empty())
        PutBannerRecord(s, in.banners[0].picture, in.banners[0].placement);
    PutCommandRecord(s, COMMAND_UNINSTALL_1, in.commands[0]);
    PutCommandRecord(s, COMMAND_UNINSTALL_2, in.commands[1]);
    PutCommandRecord(s, COMMAND_INSTALL, in.commands[2]);
    PutCommandRecord(s, COMMAND_INSTALL, in.commands[3]);
    // The install reads the later banners one by one, after the commands.
    for (size_t i = 1; i < in.banners.size(); i++)
        PutBannerRecord(s, in.banners[i].picture, in.banners[i].placement);
    return s;
}

} // namespace

PackageBlocks BuildBlocks(const PackageInputs& in)
{
    PackageBlocks b;
    b.script = BuildScript(in);
    PutU16(b.data, (uint16_t)in.files.size());
    for (const FileEntry& f : in.files)
        PutFileRecord(b.data, f);
    b.fileSectionLength = (uint32_t)b.data.size();
    PutU16(b.data, (uint16_t)in.shortcuts.size());
    for (const ShortcutEntry& s : in.shortcuts)
        PutShortcutRecord(b.data, s);
    PutU16(b.data, (uint16_t)in.registry.size());
    for (const RegistryEntry& r : in.registry)
        PutRegistryRecord(b.data, r);
    return b;
}

bool BuildSetup(const Bytes& stub, const PackageInputs& in, CompressionLevel level, const EncodeProgress* progress,
                Bytes& setup, std::string& error)
{
    const PackageBlocks blocks = BuildBlocks(in);
    if (blocks.script.size() + blocks.data.size() > UNPACKED_LIMIT) {
        error = "the package would unpack to more than 512 MB, more than a 32-bit setup program can hold";
        return false;
    }
    PackageParts parts;
    parts.script = blocks.script;
    parts.data = blocks.data;
    parts.flags = in.flags;
    parts.fileSectionLength = blocks.fileSectionLength;
    parts.spaceRequired = in.spaceRequired;
    parts.level = level;
    parts.codePage = in.codePage;
    Bytes unpacked = blocks.script;
    unpacked.insert(unpacked.end(), blocks.data.begin(), blocks.data.end());
    parts.stream = ChooseStreamParameters(unpacked.data(), unpacked.size(), level);
    setup = stub;
    AppendPackage(setup, parts, progress);
    return true;
}
