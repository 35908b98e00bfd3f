#include "package_writer.h"
#include "crc32.h"
#include "unpack.h"

void PutU8(Bytes& out, uint8_t v) { out.push_back(v); }

void PutU16(Bytes& out, uint16_t v)
{
    out.push_back((uint8_t)v);
    out.push_back((uint8_t)(v >> 8));
}

void PutU32(Bytes& out, uint32_t v)
{
    PutU16(out, (uint16_t)v);
    PutU16(out, (uint16_t)(v >> 16));
}

void PutBytes(Bytes& out, const void* bytes, size_t size)
{
    const uint8_t* p = (const uint8_t*)bytes;
    out.insert(out.end(), p, p + size);
}

void PutCountedText(Bytes& out, const std::string& text)
{
    PutU16(out, (uint16_t)(text.size() + 1));
    PutBytes(out, text.c_str(), text.size() + 1);
}

void PutStringTable(Bytes& out, const std::vector<std::string>& texts)
{
    PutU16(out, (uint16_t)texts.size());
    for (const std::string& t : texts) {
        PutU16(out, (uint16_t)t.size());
        PutBytes(out, t.c_str(), t.size() + 1);
    }
}

// The signed length that announces an item, then its name or bytes.
static void PutItemLength(Bytes& out, const ItemData& item)
{
    if (item.form == ITEM_EXTERNAL)
        PutU32(out, 0u - (uint32_t)item.name.size());
    else if (item.form == ITEM_EMBEDDED)
        PutU32(out, (uint32_t)item.data.size());
    else
        PutU32(out, 0);
}

static void PutItemBody(Bytes& out, const ItemData& item)
{
    if (item.form == ITEM_EXTERNAL)
        PutBytes(out, item.name.c_str(), item.name.size() + 1);
    else if (item.form == ITEM_EMBEDDED)
        PutBytes(out, item.data.data(), item.data.size());
}

void PutSoundRecord(Bytes& out, const ItemData& sound, uint16_t playMode)
{
    PutItemLength(out, sound);
    if (sound.form == ITEM_NONE)
        return;
    PutU16(out, playMode);
    PutItemBody(out, sound);
}

void PutAppearanceRecord(Bytes& out, const Appearance& a)
{
    PutU32(out, a.TitleColour);
    PutU32(out, a.ShadowColour);
    PutU16(out, a.BackgroundStyle);
    if (a.BackgroundStyle == STYLE_SOLID) {
        PutU8(out, a.red);
        PutU8(out, a.green);
        PutU8(out, a.blue);
    }
}

void PutSheetRecord(Bytes& out, const ItemData& picture, int16_t backReference)
{
    PutItemLength(out, picture);
    if (picture.form == ITEM_NONE)
        PutU16(out, (uint16_t)backReference);
    PutItemBody(out, picture);
}

void PutBannerHead(Bytes& out, int16_t count, uint16_t atStart)
{
    PutU16(out, (uint16_t)count);
    if (count != 0)
        PutU16(out, atStart);
}

void PutBannerRecord(Bytes& out, const ItemData& picture, const int32_t placement[4])
{
    PutItemLength(out, picture);
    if (picture.form == ITEM_NONE)
        return;
    PutItemBody(out, picture);
    for (int i = 0; i < 4; i++)
        PutU32(out, (uint32_t)placement[i]);
}

void PutCommandRecord(Bytes& out, CommandVariant variant, const CommandData& command)
{
    if (!command.present) {
        PutU8(out, COMMAND_ABSENT);
        return;
    }
    PutU8(out, 0);
    PutU16(out, (uint16_t)command.folder);
    PutCountedText(out, command.path);
    PutCountedText(out, command.arguments);
    if (variant == COMMAND_INSTALL)
        PutU32(out, command.expectedExitCode);
    PutU8(out, command.flags);
    if (variant != COMMAND_UNINSTALL_2 && (command.flags & COMMAND_HAS_MESSAGE))
        PutCountedText(out, command.message);
}

void PutFileRecord(Bytes& out, const FileEntry& file)
{
    PutU8(out, file.kind);
    PutU16(out, (uint16_t)file.root);
    PutBytes(out, file.relativeName.c_str(), file.relativeName.size() + 1);
    if ((file.kind & ~FILE_README) == FILE_REFERENCE) {
        PutU16(out, (uint16_t)file.sourceName.size());
        PutBytes(out, file.sourceName.c_str(), file.sourceName.size() + 1);
        return;
    }
    PutU32(out, file.attributes);
    PutU32(out, (uint32_t)file.created);
    PutU32(out, (uint32_t)(file.created >> 32));
    PutU32(out, (uint32_t)file.modified);
    PutU32(out, (uint32_t)(file.modified >> 32));
    PutU32(out, (uint32_t)file.body.size());
    PutBytes(out, file.body.data(), file.body.size());
}

void PutShortcutRecord(Bytes& out, const ShortcutEntry& shortcut)
{
    PutU16(out, (uint16_t)shortcut.targetFolder);
    PutCountedText(out, shortcut.target);
    PutCountedText(out, shortcut.arguments);
    PutU16(out, (uint16_t)shortcut.iconFolder);
    PutCountedText(out, shortcut.icon);
    PutU16(out, (uint16_t)shortcut.iconIndex);
    PutU16(out, (uint16_t)shortcut.linkFolder);
    PutCountedText(out, shortcut.linkName);
}

void PutRegistryRecord(Bytes& out, const RegistryEntry& value)
{
    PutU8(out, value.root);
    PutU8(out, value.kind);
    if (value.kind == VALUE_NUMBER) {
        PutU32(out, value.number);
    } else {
        PutU16(out, (uint16_t)value.data.size());
        PutBytes(out, value.data.data(), value.data.size());
    }
    PutCountedText(out, value.key);
    PutCountedText(out, value.valueName);
    PutU8(out, value.flags);
    if (value.flags & REGISTRY_STOP_ON_FAILURE)
        PutCountedText(out, value.message);
}

Bytes PackPayload(const Bytes& unpacked, StreamParameters parameters, CompressionLevel level,
                  const EncodeProgress* progress, uint16_t codePage)
{
    const Bytes stream = EncodeStream(unpacked.data(), unpacked.size(), parameters, level, progress);
    Bytes payload(PACK_HEADER_SIZE);
    const PackHeader h = {parameters.rawLength, parameters.maxMatch, (uint32_t)unpacked.size(),
                          Crc32(stream.data(), stream.size()), PACK_VERSION, codePage};
    WritePackHeader(h, payload.data());
    payload.insert(payload.end(), stream.begin(), stream.end());
    return payload;
}

void AppendPackage(Bytes& executable, const PackageParts& package, const EncodeProgress* progress)
{
    Bytes unpacked = package.script;
    unpacked.insert(unpacked.end(), package.data.begin(), package.data.end());
    const Bytes payload = PackPayload(unpacked, package.stream, package.level, progress, package.codePage);

    PackageTrailer t;
    t.flags = package.flags;
    t.fileSectionLength = package.fileSectionLength;
    t.spaceRequired = package.spaceRequired;
    t.packedSize = (uint32_t)payload.size();
    t.scriptSize = (uint32_t)package.script.size();
    t.reserved = (uint32_t)package.data.size();
    t.dataSize = (uint32_t)package.data.size();
    t.payloadOffset = (uint32_t)executable.size();
    executable.insert(executable.end(), payload.begin(), payload.end());
    uint8_t trailer[TRAILER_SIZE];
    WriteTrailer(t, trailer);
    PutBytes(executable, trailer, TRAILER_SIZE);
}
