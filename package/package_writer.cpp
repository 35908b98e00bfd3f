#include "package_writer.h"
#include "crc32.h"
#include "lzma_encoder.h"
#include "unpack.h"
#include <limits.h>

// Counted lengths include the terminator and are read as signed 16-bit values.
const size_t COUNTED_TEXT_LIMIT = 32767;
// A string table's lengths leave the terminator out; its count and lengths are signed too.
const size_t TABLE_LIMIT = 32767;
// An item's length is signed: negative for a name, positive for bytes, 0 for none.
const size_t ITEM_LIMIT = INT32_MAX;
// The 16-bit fields of the data block that are read unsigned.
const size_t U16_LIMIT = 65535;
// The farthest a match's 16-bit offset reaches into the window.
const uint32_t WINDOW_LIMIT = 65535;

// A text the reader gets back whole: a 0 byte inside would end it early.
static bool IsWholeText(const std::string& text)
{
    return text.find('\0') == std::string::npos;
}

static bool FitsCounted(const std::string& text)
{
    return text.size() < COUNTED_TEXT_LIMIT && IsWholeText(text);
}

static bool ItemFits(const ItemData& item)
{
    if (item.form == ITEM_EXTERNAL)
        return !item.name.empty() && item.name.size() <= ITEM_LIMIT && IsWholeText(item.name);
    if (item.form == ITEM_EMBEDDED)
        return !item.data.empty() && item.data.size() <= ITEM_LIMIT;
    return item.form == ITEM_NONE;
}

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

bool PutCountedText(Bytes& out, const std::string& text)
{
    if (!FitsCounted(text))
        return false;
    PutU16(out, (uint16_t)(text.size() + 1));
    PutBytes(out, text.c_str(), text.size() + 1);
    return true;
}

bool PutStringTable(Bytes& out, const std::vector<std::string>& texts)
{
    bool fits = texts.size() <= TABLE_LIMIT;
    for (const std::string& t : texts)
        fits = fits && t.size() <= TABLE_LIMIT && IsWholeText(t);
    if (!fits)
        return false;
    PutU16(out, (uint16_t)texts.size());
    for (const std::string& t : texts) {
        PutU16(out, (uint16_t)t.size());
        PutBytes(out, t.c_str(), t.size() + 1);
    }
    return true;
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

bool PutSoundRecord(Bytes& out, const ItemData& sound, uint16_t playMode)
{
    if (!ItemFits(sound))
        return false;
    PutItemLength(out, sound);
    if (sound.form == ITEM_NONE)
        return true;
    PutU16(out, playMode);
    PutItemBody(out, sound);
    return true;
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

bool PutSheetRecord(Bytes& out, const ItemData& picture, int16_t backReference)
{
    if (!ItemFits(picture))
        return false;
    PutItemLength(out, picture);
    if (picture.form == ITEM_NONE)
        PutU16(out, (uint16_t)backReference);
    PutItemBody(out, picture);
    return true;
}

void PutBannerHead(Bytes& out, int16_t count, uint16_t atStart)
{
    PutU16(out, (uint16_t)count);
    if (count != 0)
        PutU16(out, atStart);
}

bool PutBannerRecord(Bytes& out, const ItemData& picture, const int32_t placement[4])
{
    if (!ItemFits(picture))
        return false;
    PutItemLength(out, picture);
    if (picture.form == ITEM_NONE)
        return true;
    PutItemBody(out, picture);
    for (int i = 0; i < 4; i++)
        PutU32(out, (uint32_t)placement[i]);
    return true;
}

static bool HasMessage(CommandVariant variant, const CommandData& command)
{
    return variant != COMMAND_UNINSTALL_2 && (command.flags & COMMAND_HAS_MESSAGE);
}

bool PutCommandRecord(Bytes& out, CommandVariant variant, const CommandData& command)
{
    if (!command.present) {
        PutU8(out, COMMAND_ABSENT);
        return true;
    }
    if (!FitsCounted(command.path) || !FitsCounted(command.arguments) ||
        (HasMessage(variant, command) && !FitsCounted(command.message)))
        return false;
    PutU8(out, 0);
    PutU16(out, (uint16_t)command.folder);
    PutCountedText(out, command.path);
    PutCountedText(out, command.arguments);
    if (variant == COMMAND_INSTALL)
        PutU32(out, command.expectedExitCode);
    PutU8(out, command.flags);
    if (HasMessage(variant, command))
        PutCountedText(out, command.message);
    return true;
}

static bool IsReferenceEntry(const FileEntry& file)
{
    return (file.kind & ~FILE_README) == FILE_REFERENCE;
}

static bool FileFits(const FileEntry& file)
{
    if (!IsWholeText(file.relativeName))
        return false;
    if (IsReferenceEntry(file))
        return file.sourceName.size() <= U16_LIMIT && IsWholeText(file.sourceName);
    return file.body.size() <= UINT32_MAX;
}

bool PutFileRecord(Bytes& out, const FileEntry& file)
{
    if (!FileFits(file))
        return false;
    PutU8(out, file.kind);
    PutU16(out, (uint16_t)file.root);
    PutBytes(out, file.relativeName.c_str(), file.relativeName.size() + 1);
    if (IsReferenceEntry(file)) {
        PutU16(out, (uint16_t)file.sourceName.size());
        PutBytes(out, file.sourceName.c_str(), file.sourceName.size() + 1);
        return true;
    }
    PutU32(out, file.attributes);
    PutU32(out, (uint32_t)file.created);
    PutU32(out, (uint32_t)(file.created >> 32));
    PutU32(out, (uint32_t)file.modified);
    PutU32(out, (uint32_t)(file.modified >> 32));
    PutU32(out, (uint32_t)file.body.size());
    PutBytes(out, file.body.data(), file.body.size());
    return true;
}

bool PutShortcutRecord(Bytes& out, const ShortcutEntry& shortcut)
{
    if (!FitsCounted(shortcut.target) || !FitsCounted(shortcut.arguments) || !FitsCounted(shortcut.icon) ||
        !FitsCounted(shortcut.linkName))
        return false;
    PutU16(out, (uint16_t)shortcut.targetFolder);
    PutCountedText(out, shortcut.target);
    PutCountedText(out, shortcut.arguments);
    PutU16(out, (uint16_t)shortcut.iconFolder);
    PutCountedText(out, shortcut.icon);
    PutU16(out, (uint16_t)shortcut.iconIndex);
    PutU16(out, (uint16_t)shortcut.linkFolder);
    PutCountedText(out, shortcut.linkName);
    return true;
}

static bool RegistryFits(const RegistryEntry& value)
{
    const bool dataFits = value.kind == VALUE_NUMBER || value.data.size() <= U16_LIMIT;
    const bool messageFits = !(value.flags & REGISTRY_STOP_ON_FAILURE) || FitsCounted(value.message);
    return dataFits && messageFits && FitsCounted(value.key) && FitsCounted(value.valueName);
}

bool PutRegistryRecord(Bytes& out, const RegistryEntry& value)
{
    if (!RegistryFits(value))
        return false;
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
    return true;
}

// The stream of the method, and the header's fields that describe it.
static bool EncodePayload(const Bytes& unpacked, const PackMethod& method, const EncodeProgress* progress,
                          Bytes& stream, PackHeader& h)
{
    h.version = method.version;
    if (method.version == PACK_VERSION_LZMA)
        return EncodeLzma(unpacked.data(), unpacked.size(), method.level, progress, stream, h.lzmaProperties);
    if (method.version != PACK_VERSION || method.stream.rawLength > WINDOW_LIMIT)
        return false;
    h.rawLength = method.stream.rawLength;
    h.maxMatch = method.stream.maxMatch;
    stream = EncodeStream(unpacked.data(), unpacked.size(), method.stream, method.level, progress);
    return true;
}

bool PackPayload(const Bytes& unpacked, const PackMethod& method, Bytes& payload, const EncodeProgress* progress,
                 uint16_t codePage)
{
    PackHeader h = {};
    Bytes stream;
    if (unpacked.size() > UINT32_MAX || !EncodePayload(unpacked, method, progress, stream, h))
        return false;
    h.unpackedSize = (uint32_t)unpacked.size();
    h.crc = Crc32(stream.data(), stream.size());
    h.codePage = codePage;
    payload.assign(PACK_HEADER_SIZE, 0);
    WritePackHeader(h, payload.data());
    payload.insert(payload.end(), stream.begin(), stream.end());
    return true;
}

bool AppendPackage(Bytes& executable, const PackageParts& package, const EncodeProgress* progress,
                   PackageTrailer* written)
{
    Bytes unpacked = package.script;
    unpacked.insert(unpacked.end(), package.data.begin(), package.data.end());
    Bytes payload;
    if (!PackPayload(unpacked, package.method, payload, progress, package.codePage) ||
        (uint64_t)executable.size() + 7 + payload.size() + TRAILER_SIZE > UINT32_MAX)
        return false;

    PackageTrailer t;
    t.flags = package.flags;
    t.fileSectionLength = package.fileSectionLength;
    t.spaceRequired = package.spaceRequired;
    t.packedSize = (uint32_t)payload.size();
    t.scriptSize = (uint32_t)package.script.size();
    t.reserved = (uint32_t)package.data.size();
    t.dataSize = (uint32_t)package.data.size();
    // Zeros before the payload make the setup's length a multiple of 8: a
    // signature then puts its certificate table right behind the trailer,
    // where the setup program looks for it, without padding of its own.
    executable.resize(executable.size() + (8 - (executable.size() + payload.size() + TRAILER_SIZE) % 8) % 8, 0);
    t.payloadOffset = (uint32_t)executable.size();
    executable.insert(executable.end(), payload.begin(), payload.end());
    uint8_t trailer[TRAILER_SIZE];
    WriteTrailer(t, trailer);
    PutBytes(executable, trailer, TRAILER_SIZE);
    if (written)
        *written = t;
    return true;
}
