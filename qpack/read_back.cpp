#include "read_back.h"
#include "slots.h"
#include <string.h>

namespace {

// Keeps the first difference found; the later ones are often its echoes.
struct Comparison {
    std::string first;
    void Expect(bool same, const std::string& what)
    {
        if (!same && first.empty())
            first = what;
    }
};

const char* const CommandNames[4] = {"uninstall.first", "uninstall.second", "install.first", "install.second"};

std::string Indexed(const char* name, size_t i)
{
    return std::string(name) + "[" + std::to_string(i) + "]";
}

// A text that held a 0 byte reads back shorter, and so differs.
bool Same(const char* read, const std::string& written)
{
    return written == read;
}

bool SameBytes(const uint8_t* read, size_t readSize, const Bytes& written)
{
    return readSize == written.size() && (written.empty() || memcmp(read, written.data(), readSize) == 0);
}

bool SameItem(const ItemSource& read, const ItemData& written)
{
    if (read.form != written.form)
        return false;
    if (written.form == ITEM_EXTERNAL)
        return read.size == written.name.size() && Same((const char*)read.bytes, written.name);
    return written.form != ITEM_EMBEDDED || SameBytes(read.bytes, read.size, written.data);
}

void CompareTexts(Comparison& c, const PackageInputs& in, const PackageContents& read)
{
    for (size_t i = 0; i < in.texts.size(); i++)
        c.Expect(i < read.texts.size() && read.texts[i] == in.texts[i], std::string("texts.") + SlotNames[i].name);
}

void CompareAppearance(Comparison& c, const Appearance& read, const Appearance& written)
{
    const bool solid = written.BackgroundStyle == STYLE_SOLID;
    c.Expect(read.TitleColour == written.TitleColour && read.ShadowColour == written.ShadowColour &&
                 read.BackgroundStyle == written.BackgroundStyle &&
                 (!solid || (read.red == written.red && read.green == written.green && read.blue == written.blue)),
             "the appearance");
}

void CompareSheets(Comparison& c, const PackageInputs& in, const PackageContents& read)
{
    for (int i = 0; i < 4; i++) {
        const bool none = in.sheets[i].form == ITEM_NONE;
        c.Expect(SameItem(read.sheets[i].source, in.sheets[i]) &&
                     (!none || read.sheets[i].backReference == in.sheetReferences[i]),
                 std::string("the ") + SheetNames[i] + " picture");
    }
}

void CompareBanners(Comparison& c, const PackageInputs& in, const PackageContents& read)
{
    c.Expect(read.bannerHead.count == (int)in.banners.size() && read.banners.size() == in.banners.size(),
             "the number of banners");
    c.Expect(in.banners.empty() || read.bannerHead.atStart == (in.bannerAtStart ? 1 : 0), "banner_at_start");
    for (size_t i = 0; i < in.banners.size() && i < read.banners.size(); i++) {
        const BannerInput& written = in.banners[i];
        const bool placed = written.picture.form != ITEM_NONE;
        c.Expect(SameItem(read.banners[i].source, written.picture) &&
                     (!placed || memcmp(read.banners[i].placement, written.placement, sizeof written.placement) == 0),
                 Indexed("banner", i));
    }
}

void CompareSettings(Comparison& c, const PackageInputs& in, const PackageContents& read)
{
    const bool sound = in.sound.form != ITEM_NONE;
    c.Expect(SameItem(read.sound.source, in.sound) && (!sound || read.sound.playMode == in.playMode), "the sound");
    CompareAppearance(c, read.appearance, in.appearance);
    CompareSheets(c, in, read);
    CompareBanners(c, in, read);
}

void CompareCommand(Comparison& c, const CommandRecord& read, const CommandData& written, int i)
{
    const std::string name = CommandNames[i];
    c.Expect(read.present == (written.present ? 1 : 0), name);
    if (!written.present)
        return;
    c.Expect(read.folder == written.folder, name + ": folder");
    c.Expect(Same(read.path, written.path), name + ": program");
    c.Expect(Same(read.arguments, written.arguments), name + ": arguments");
    c.Expect(i < 2 || read.expectedExitCode == written.expectedExitCode, name + ": exit code");
    c.Expect(read.flags == written.flags, name + ": flags");
    const bool message = i != 1 && (written.flags & COMMAND_HAS_MESSAGE);
    c.Expect(!message || Same(read.message, written.message), name + ": message");
}

void CompareFile(Comparison& c, const FileRecord& read, const FileEntry& written, const std::string& name)
{
    c.Expect(read.kind == written.kind, name + ": kind");
    c.Expect(read.root == written.root, name + ": root");
    c.Expect(Same(read.relativeName, written.relativeName), name + ": target");
    if (IsReference(read)) {
        c.Expect(Same(read.sourceName, written.sourceName), name + ": name beside the setup program");
        return;
    }
    c.Expect(read.attributes == written.attributes, name + ": attributes");
    c.Expect(read.created == written.created, name + ": creation time");
    c.Expect(read.modified == written.modified, name + ": modification time");
    c.Expect(SameBytes(read.body, read.size, written.body), name + ": bytes");
}

void CompareShortcut(Comparison& c, const ShortcutRecord& read, const ShortcutEntry& written, const std::string& name)
{
    c.Expect(read.targetFolder == written.targetFolder && Same(read.target, written.target), name + ": target");
    c.Expect(Same(read.arguments, written.arguments), name + ": arguments");
    c.Expect(read.iconFolder == written.iconFolder && Same(read.icon, written.icon) &&
                 read.iconIndex == written.iconIndex,
             name + ": icon");
    c.Expect(read.linkFolder == written.linkFolder && Same(read.linkName, written.linkName), name + ": link");
}

void CompareRegistryValue(Comparison& c, const RegistryRecord& read, const RegistryEntry& written,
                          const std::string& name)
{
    c.Expect(read.root == written.root && Same(read.key, written.key), name + ": key");
    c.Expect(Same(read.valueName, written.valueName), name + ": name");
    c.Expect(read.kind == written.kind, name + ": kind");
    const bool number = written.kind == VALUE_NUMBER;
    c.Expect(number ? read.number == written.number : SameBytes(read.data, read.length, written.data),
             name + ": data");
    c.Expect(read.flags == written.flags, name + ": flags");
    c.Expect(!(written.flags & REGISTRY_STOP_ON_FAILURE) || Same(read.message, written.message), name + ": message");
}

void CompareData(Comparison& c, const PackageInputs& in, const PackageContents& read)
{
    c.Expect(read.files.size() == in.files.size(), "the number of files");
    for (size_t i = 0; i < in.files.size() && i < read.files.size(); i++)
        CompareFile(c, read.files[i], in.files[i], FileEntryName(in, i));
    c.Expect(read.shortcuts.size() == in.shortcuts.size(), "the number of shortcuts");
    for (size_t i = 0; i < in.shortcuts.size() && i < read.shortcuts.size(); i++)
        CompareShortcut(c, read.shortcuts[i], in.shortcuts[i], Indexed("shortcut", i));
    c.Expect(read.registry.size() == in.registry.size(), "the number of registry values");
    for (size_t i = 0; i < in.registry.size() && i < read.registry.size(); i++)
        CompareRegistryValue(c, read.registry[i], in.registry[i], Indexed("registry", i));
}

void CompareTrailer(Comparison& c, const PackageTrailer& expected, const PackageInputs& in,
                    const PackageContents& read)
{
    const PackageTrailer& t = read.trailer;
    c.Expect(t.flags == expected.flags, "the trailer's switches");
    c.Expect(t.fileSectionLength == expected.fileSectionLength && read.fileSectionLength == expected.fileSectionLength,
             "the trailer's file section length");
    c.Expect(t.spaceRequired == expected.spaceRequired, "the trailer's space required");
    c.Expect(t.packedSize == expected.packedSize, "the trailer's packed size");
    c.Expect(t.scriptSize == expected.scriptSize && t.dataSize == expected.dataSize &&
                 t.reserved == expected.reserved,
             "the trailer's block sizes");
    c.Expect(t.payloadOffset == expected.payloadOffset, "the trailer's payload offset");
    c.Expect(read.header.codePage == in.codePage, "the payload's code page");
}

} // namespace

std::string FirstDifference(const PackageInputs& in, const PackageTrailer& expected, const PackageContents& read)
{
    Comparison c;
    for (const std::string& damage : read.damage)
        c.Expect(false, damage);
    CompareTrailer(c, expected, in, read);
    CompareTexts(c, in, read);
    CompareSettings(c, in, read);
    for (int i = 0; i < 4; i++)
        CompareCommand(c, read.commands[i], in.commands[i], i);
    CompareData(c, in, read);
    return c.first;
}
