#include "package_builder.h"
#include "package_limits.h"
#include "read_back.h"
#include "slots.h"
#include <utility>

namespace {

// Remembers the first record the writer refused, by the name the manifest gives it.
struct Refusals {
    std::string first;
    void Note(bool written, const std::string& record)
    {
        if (!written && first.empty())
            first = record;
    }
};

std::string Indexed(const char* name, size_t i)
{
    return std::string(name) + "[" + std::to_string(i) + "]";
}

Bytes BuildScript(const PackageInputs& in, Refusals& refused)
{
    Bytes s;
    refused.Note(PutStringTable(s, in.texts), "the texts");
    refused.Note(PutSoundRecord(s, in.sound, in.playMode), "the sound");
    PutAppearanceRecord(s, in.appearance);
    for (int i = 0; i < 4; i++)
        refused.Note(PutSheetRecord(s, in.sheets[i], in.sheetReferences[i]), std::string("pictures.") + SheetNames[i]);
    PutBannerHead(s, (int16_t)in.banners.size(), in.bannerAtStart);
    if (!in.banners.empty())
        refused.Note(PutBannerRecord(s, in.banners[0].picture, in.banners[0].placement), "banner[0]");
    refused.Note(PutCommandRecord(s, COMMAND_UNINSTALL_1, in.commands[0]), "uninstall.first");
    refused.Note(PutCommandRecord(s, COMMAND_UNINSTALL_2, in.commands[1]), "uninstall.second");
    refused.Note(PutCommandRecord(s, COMMAND_INSTALL, in.commands[2]), "install.first");
    refused.Note(PutCommandRecord(s, COMMAND_INSTALL, in.commands[3]), "install.second");
    // The install reads the later banners one by one, after the commands.
    for (size_t i = 1; i < in.banners.size(); i++)
        refused.Note(PutBannerRecord(s, in.banners[i].picture, in.banners[i].placement), Indexed("banner", i));
    return s;
}

Bytes BuildData(const PackageInputs& in, Refusals& refused, uint32_t& fileSectionLength)
{
    Bytes d;
    PutU16(d, (uint16_t)in.files.size());
    for (size_t i = 0; i < in.files.size(); i++)
        refused.Note(PutFileRecord(d, in.files[i]), FileEntryName(in, i));
    fileSectionLength = (uint32_t)d.size();
    PutU16(d, (uint16_t)in.shortcuts.size());
    for (size_t i = 0; i < in.shortcuts.size(); i++)
        refused.Note(PutShortcutRecord(d, in.shortcuts[i]), Indexed("shortcut", i));
    PutU16(d, (uint16_t)in.registry.size());
    for (size_t i = 0; i < in.registry.size(); i++)
        refused.Note(PutRegistryRecord(d, in.registry[i]), Indexed("registry", i));
    return d;
}

PackageParts PartsOf(PackageBlocks&& blocks, const PackageInputs& in, CompressionLevel level)
{
    PackageParts parts;
    parts.flags = in.flags;
    parts.fileSectionLength = blocks.fileSectionLength;
    parts.spaceRequired = in.spaceRequired;
    parts.method.version = in.packVersion;
    parts.method.level = level;
    parts.codePage = in.codePage;
    if (in.packVersion == PACK_VERSION) {
        Bytes unpacked = blocks.script;
        unpacked.insert(unpacked.end(), blocks.data.begin(), blocks.data.end());
        parts.method.stream = ChooseStreamParameters(unpacked.data(), unpacked.size(), level);
    }
    parts.script = std::move(blocks.script);
    parts.data = std::move(blocks.data);
    return parts;
}

// The trailer the inputs call for; where the payload lies and how long it is
// are the writer's, within the up to 7 bytes of padding behind the stub.
PackageTrailer ExpectedTrailer(const PackageParts& parts, size_t stubSize, const PackageTrailer& written)
{
    PackageTrailer t;
    t.flags = parts.flags;
    t.fileSectionLength = parts.fileSectionLength;
    t.spaceRequired = parts.spaceRequired;
    t.packedSize = written.packedSize;
    t.scriptSize = (uint32_t)parts.script.size();
    t.reserved = (uint32_t)parts.data.size();
    t.dataSize = (uint32_t)parts.data.size();
    t.payloadOffset = written.payloadOffset - stubSize < 8 ? written.payloadOffset : (uint32_t)stubSize;
    return t;
}

// Appends the package to the setup program and gives the trailer it should
// have; the blocks are let go before anything is read back.
bool AppendBlocks(PackageBlocks&& blocks, const PackageInputs& in, CompressionLevel level,
                  const EncodeProgress* progress, Bytes& setup, PackageTrailer& expected)
{
    const size_t stubSize = setup.size();
    const PackageParts parts = PartsOf(std::move(blocks), in, level);
    PackageTrailer written;
    if (!AppendPackage(setup, parts, progress, &written))
        return false;
    expected = ExpectedTrailer(parts, stubSize, written);
    return true;
}

// A writer and a reader that disagree would give a setup program that
// installs something else than the manifest says, or breaks; qpack says so
// instead of writing it.
bool ReadsBackAsBuilt(const Bytes& setup, const PackageInputs& in, const PackageTrailer& expected,
                      std::string& error)
{
    PackageContents read;
    std::string unreadable;
    if (!ReadPackageContents(setup, read, unreadable)) {
        error = "the package built cannot be read back: " + unreadable;
        return false;
    }
    const std::string difference = FirstDifference(in, expected, read);
    if (!difference.empty())
        error = "the package does not read back as written (" + difference + ")";
    return difference.empty();
}

} // namespace

bool BuildBlocks(const PackageInputs& in, PackageBlocks& blocks, std::string& error)
{
    Refusals refused;
    blocks.script = BuildScript(in, refused);
    blocks.data = BuildData(in, refused, blocks.fileSectionLength);
    if (!refused.first.empty())
        error = "the package format cannot carry " + refused.first + " as it stands";
    return refused.first.empty();
}

bool BuildSetup(const Bytes& stub, const PackageInputs& in, CompressionLevel level, const EncodeProgress* progress,
                Bytes& setup, std::string& error)
{
    PackageBlocks blocks;
    if (!BuildBlocks(in, blocks, error))
        return false;
    if (blocks.script.size() + blocks.data.size() > UNPACKED_LIMIT) {
        error = "the package would unpack to more than 512 MB, more than a 32-bit setup program can hold";
        return false;
    }
    setup = stub;
    PackageTrailer expected;
    if (!AppendBlocks(std::move(blocks), in, level, progress, setup, expected)) {
        error = "the package writer cannot encode the payload";
        return false;
    }
    return ReadsBackAsBuilt(setup, in, expected, error);
}
