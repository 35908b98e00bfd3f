#include "package_description.h"
#include "codepage.h"
#include "slots.h"
#include <stdio.h>

namespace {

std::string Utf8(const PackageContents& c, const char* text)
{
    return CodePageToUtf8(text, TextCodePage(c));
}

std::string Hex(uint32_t value, int digits)
{
    char text[16];
    snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string Colour(uint32_t colourRef)
{
    char text[16];
    snprintf(text, sizeof text, "#%02X%02X%02X", colourRef & 0xFF, colourRef >> 8 & 0xFF, colourRef >> 16 & 0xFF);
    return text;
}

const char* FolderName(int code)
{
    static const char* const names[] = {"destination", "system", "windows"};
    return code >= 0 && code <= 2 ? names[code] : "none";
}

const char* RestartName(int mode)
{
    static const char* const names[] = {"none", "restart", "logoff"};
    return names[mode];
}

void DescribeTrailer(Report& r, const PackageContents& c)
{
    const TrailerSettings s = SettingsFromTrailer(c.trailer);
    Report& t = AddObject(r, "trailer");
    AddText(t, "flags", Hex(c.trailer.flags, 2));
    AddFlag(t, "group_step", s.GroupStepEnabled);
    AddText(t, "restart", RestartName(s.RestartMode));
    AddText(t, "uninstall_restart", RestartName(s.UninstallRestartMode));
    AddNumber(t, "file_section_length", c.trailer.fileSectionLength);
    AddNumber(t, "space_required", c.trailer.spaceRequired);
    AddNumber(t, "packed_size", c.trailer.packedSize);
    AddNumber(t, "script_size", c.trailer.scriptSize);
    AddNumber(t, "reserved", c.trailer.reserved);
    AddNumber(t, "data_size", c.trailer.dataSize);
    AddNumber(t, "payload_offset", c.trailer.payloadOffset);
    Report& h = AddObject(r, "header");
    const bool lzma = c.header.version == PACK_VERSION_LZMA;
    AddText(h, "method", lzma ? "lzma" : "lz77");
    if (lzma) {
        // LZMA's own packing of its literal and position bits: (pb * 5 + lp) * 9 + lc.
        const uint8_t bits = c.header.lzmaProperties[0];
        AddNumber(h, "lzma_lc", bits % 9);
        AddNumber(h, "lzma_lp", bits / 9 % 5);
        AddNumber(h, "lzma_pb", bits / 45);
        AddNumber(h, "lzma_dictionary", LoadU32(c.header.lzmaProperties + 1));
    } else {
        AddNumber(h, "raw_length", c.header.rawLength);
        AddNumber(h, "max_match", c.header.maxMatch);
    }
    AddNumber(h, "unpacked_size", c.header.unpackedSize);
    AddText(h, "crc", Hex(c.header.crc, 8));
    AddFlag(h, "crc_verified", true);
    AddNumber(h, "version", c.header.version);
    AddNumber(h, "codepage", TextCodePage(c));
}

void DescribeItem(Report& parent, const std::string& key, const ItemSource& item, const PackageContents& c)
{
    if (item.form == ITEM_NONE) {
        AddNothing(parent, key);
        return;
    }
    Report& r = AddObject(parent, key);
    if (item.form == ITEM_EXTERNAL)
        AddText(r, "beside_setup", Utf8(c, (const char*)item.bytes));
    else
        AddNumber(r, "embedded_bytes", item.size);
}

void DescribeSettings(Report& r, const PackageContents& c)
{
    Report& strings = AddObject(r, "strings");
    for (size_t i = 0; i < c.texts.size(); i++)
        AddText(strings, SlotNames[i].name, Utf8(c, c.texts[i].c_str()));
    DescribeItem(r, "sound", c.sound.source, c);
    if (c.sound.source.form != ITEM_NONE)
        AddFlag(r.items.back(), "repeat", c.sound.playMode != 1);
    Report& look = AddObject(r, "appearance");
    AddText(look, "title_colour", Colour(c.appearance.TitleColour));
    AddText(look, "shadow_colour", Colour(c.appearance.ShadowColour));
    static const char* const styles[] = {"solid", "blue", "green"};
    AddText(look, "background", c.appearance.BackgroundStyle < 3 ? styles[c.appearance.BackgroundStyle] : "red");
    if (c.appearance.BackgroundStyle == STYLE_SOLID)
        AddText(look, "colour", Colour(c.appearance.red | c.appearance.green << 8 | c.appearance.blue << 16));
    Report& sheets = AddObject(r, "pictures");
    for (int i = 0; i < 4; i++) {
        const int k = c.sheets[i].backReference;
        if (c.sheets[i].source.form == ITEM_NONE && k >= 1 && k <= i)
            AddText(sheets, SheetNames[i], std::string("same as ") + SheetNames[i - k]);
        else
            DescribeItem(sheets, SheetNames[i], c.sheets[i].source, c);
    }
    Report& banners = AddObject(r, "banners");
    AddNumber(banners, "count", c.bannerHead.count);
    AddFlag(banners, "at_start", c.bannerHead.atStart);
    Report& list = AddArray(banners, "pictures");
    for (const BannerRecord& b : c.banners) {
        DescribeItem(list, "", b.source, c);
        if (b.source.form == ITEM_NONE)
            continue;
        Report& place = AddArray(list.items.back(), "placement");
        for (int32_t p : b.placement)
            AddNumber(place, "", p);
    }
}

void DescribeCommands(Report& r, const PackageContents& c)
{
    static const char* const names[] = {"uninstall_first", "uninstall_second", "install_first", "install_second"};
    Report& commands = AddObject(r, "commands");
    for (int i = 0; i < 4; i++) {
        const CommandRecord& k = c.commands[i];
        if (!k.present) {
            AddNothing(commands, names[i]);
            continue;
        }
        Report& cmd = AddObject(commands, names[i]);
        AddText(cmd, "folder", FolderName(k.folder));
        AddText(cmd, "program", Utf8(c, k.path));
        AddText(cmd, "arguments", Utf8(c, k.arguments));
        if (i >= 2)
            AddNumber(cmd, "exit_code", k.expectedExitCode);
        AddText(cmd, "flags", Hex(k.flags, 2));
        if (k.flags & COMMAND_HAS_MESSAGE && i != 1)
            AddText(cmd, "message", Utf8(c, k.message));
    }
}

void DescribeFiles(Report& r, const PackageContents& c)
{
    Report& files = AddArray(r, "files");
    for (size_t i = 0; i < c.files.size(); i++) {
        const FileRecord& f = c.files[i];
        Report& file = AddObject(files);
        AddText(file, "root", FolderName(f.root));
        AddText(file, "name", Utf8(c, f.relativeName));
        AddFlag(file, "uninstaller", i == 0);
        AddFlag(file, "readme", f.kind & FILE_README);
        if (IsReference(f)) {
            AddText(file, "beside_setup", Utf8(c, f.sourceName));
            continue;
        }
        AddNumber(file, "size", f.size);
        AddText(file, "attributes", Hex(f.attributes, 8));
        AddText(file, "created", FormatFileTime(f.created));
        AddText(file, "modified", FormatFileTime(f.modified));
    }
    AddNumber(r, "file_section_length", c.fileSectionLength);
}

void DescribeShortcuts(Report& r, const PackageContents& c)
{
    static const char* const folders[] = {"group", "desktop", "startup", "sendto", "startmenu"};
    Report& shortcuts = AddArray(r, "shortcuts");
    for (const ShortcutRecord& s : c.shortcuts) {
        Report& link = AddObject(shortcuts);
        AddText(link, "folder", folders[s.linkFolder]);
        AddText(link, "name", Utf8(c, s.linkName));
        AddText(link, "target_root", FolderName(s.targetFolder));
        AddText(link, "target", Utf8(c, s.target));
        AddText(link, "arguments", Utf8(c, s.arguments));
        if (HasIcon(s)) {
            AddText(link, "icon_root", FolderName(s.iconFolder));
            AddText(link, "icon", Utf8(c, s.icon));
        }
        AddNumber(link, "icon_index", s.iconIndex);
    }
}

void DescribeRegistry(Report& r, const PackageContents& c)
{
    static const char* const roots[] = {"HKCR", "HKCU", "HKLM", "HKU", "HKCC"};
    Report& values = AddArray(r, "registry");
    for (const RegistryRecord& v : c.registry) {
        Report& value = AddObject(values);
        AddText(value, "root", v.root < 5 ? roots[v.root] : Hex(v.root, 2));
        AddText(value, "key", Utf8(c, v.key));
        AddText(value, "name", Utf8(c, v.valueName));
        if (v.kind == VALUE_NUMBER)
            AddNumber(value, "number", v.number);
        else if (v.kind == VALUE_STRING && v.length > 0 && v.data[v.length - 1] == 0)
            AddText(value, "string", Utf8(c, (const char*)v.data));
        else
            AddNumber(value, "data_bytes", v.length);
        AddFlag(value, "stop_on_failure", v.flags & REGISTRY_STOP_ON_FAILURE);
        if (v.flags & REGISTRY_STOP_ON_FAILURE)
            AddText(value, "message", Utf8(c, v.message));
    }
}

// Civil date of days since 1970-01-01.
void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = (unsigned)(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = (int64_t)yoe + era * 400 + (m <= 2);
}

} // namespace

std::string FormatFileTime(uint64_t fileTime)
{
    const int64_t seconds = (int64_t)(fileTime / 10000000u) - 11644473600;
    const int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    const int64_t rest = seconds - days * 86400;
    int64_t y;
    unsigned m, d;
    CivilFromDays(days, y, m, d);
    char text[64];
    snprintf(text, sizeof text, "%04lld-%02u-%02uT%02lld:%02lld:%02lldZ", (long long)y, m, d, (long long)(rest / 3600),
             (long long)(rest / 60 % 60), (long long)(rest % 60));
    return text;
}

Report DescribePackage(const PackageContents& c)
{
    Report r;
    DescribeTrailer(r, c);
    Report& signature = AddObject(r, "signature");
    AddFlag(signature, "signed", c.signatureSize > 0);
    AddNumber(signature, "certificate_table_size", (int64_t)c.signatureSize);
    DescribeSettings(r, c);
    DescribeCommands(r, c);
    DescribeFiles(r, c);
    DescribeShortcuts(r, c);
    DescribeRegistry(r, c);
    Report& damage = AddArray(r, "damage");
    for (const std::string& d : c.damage)
        AddText(damage, "", d);
    return r;
}
