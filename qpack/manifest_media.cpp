// What the setup program shows and plays: [appearance], [sound],
// [pictures] and the [[banner]] tables.
#include "manifest_sections.h"
#include "package/byte_cursor.h"
#include <algorithm>
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace manifest_reading {

namespace {

// "#" and six hex digits, nothing else: strtoul alone would take a sign,
// spaces or "0x" too.
bool IsColour(const std::string& v)
{
    const auto hex = [](char c) { return isxdigit((unsigned char)c) != 0; };
    return v.size() == 7 && v[0] == '#' && std::all_of(v.begin() + 1, v.end(), hex);
}

// A colour written as "#RRGGBB", as a COLORREF (0x00BBGGRR).
void GetColour(Reader& r, const toml::table& t, const char* key, uint32_t& out)
{
    std::string v;
    if (!Get(r, t, "appearance", key, v))
        return;
    if (!IsColour(v)) {
        Fail(r, t.get(key), Join("appearance", key), "must be a colour written as \"#RRGGBB\"");
        return;
    }
    const unsigned long rgb = strtoul(v.c_str() + 1, nullptr, 16);
    out = (uint32_t)((rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16);
}

} // namespace

void ReadAppearance(Reader& r, const toml::table& root, PackageInputs& in)
{
    const toml::table* t = GetTable(r, root, "", "appearance");
    if (!t)
        return;
    CheckKeys(r, *t, "appearance", {"title_colour", "shadow_colour", "background", "colour", "banner_at_start"});
    GetColour(r, *t, "title_colour", in.appearance.TitleColour);
    GetColour(r, *t, "shadow_colour", in.appearance.ShadowColour);
    in.appearance.BackgroundStyle =
        (uint16_t)GetChoice(r, *t, "appearance", "background", {"solid", "blue", "green", "red"}, STYLE_SOLID);
    if (t->get("colour") && in.appearance.BackgroundStyle != STYLE_SOLID)
        Fail(r, t->get("colour"), "appearance.colour", "is used only with background = \"solid\"");
    uint32_t solid = (uint32_t)in.appearance.red | in.appearance.green << 8 | in.appearance.blue << 16;
    GetColour(r, *t, "colour", solid);
    in.appearance.red = (uint8_t)solid;
    in.appearance.green = (uint8_t)(solid >> 8);
    in.appearance.blue = (uint8_t)(solid >> 16);
    Get(r, *t, "appearance", "banner_at_start", in.bannerAtStart);
}

namespace {

// An embedded picture or sound has a signed 32-bit length.
const size_t ITEM_LIMIT = 0x7FFFFFFF;

enum FileCheck { CHECK_NONE, CHECK_BMP, CHECK_WAV };

bool HasExpectedFormat(const std::vector<uint8_t>& b, FileCheck check)
{
    if (check == CHECK_BMP)
        return b.size() >= 26 && b[0] == 'B' && b[1] == 'M';
    if (check == CHECK_WAV)
        return b.size() >= 12 && memcmp(b.data(), "RIFF", 4) == 0 && memcmp(b.data() + 8, "WAVE", 4) == 0;
    return true;
}

// The shapes, width to height, of the places pictures are drawn in: the
// wizard's left column (77 x 143 dialog units, 116 x 232 pixels with its
// font at 96 dots an inch), and a banner's placement on a screen of 1920 x
// 1080 pixels, the commonest.
const double SHEET_SHAPE = 116.0 / 232.0;
double BannerShape(const int32_t placement[4])
{
    const int32_t wide = placement[2] - placement[0], high = placement[3] - placement[1];
    return wide > 0 && high > 0 ? wide * 1920.0 / (high * 1080.0) : 0;
}

// A picture of another shape than its place's is stretched out of shape.
void NoteShape(Reader& r, Node at, const std::string& key, const std::vector<uint8_t>& b, double shape)
{
    const bool core = LoadU32(&b[14]) == 12; // the old header of 16-bit sizes
    const int64_t width = core ? LoadU16(&b[18]) : (int32_t)LoadU32(&b[18]);
    const int64_t height = core ? LoadU16(&b[20]) : std::llabs((int32_t)LoadU32(&b[22]));
    if (width <= 0 || height <= 0 || shape <= 0)
        return;
    const double ratio = (double)width / (double)height / shape;
    if (ratio >= 0.9 && ratio <= 1.1)
        return;
    char text[160];
    snprintf(text, sizeof text,
             "is %lld x %lld pixels, %.2f wide to 1 high, where its place is %.2f to 1: it will be drawn out of shape",
             (long long)width, (long long)height, (double)width / (double)height, shape);
    Note(r, at, key, text);
}

// A picture or sound: embedded, or travelling beside the setup program under
// its file name. A picture is measured against the shape of its place.
ItemData ReadItem(Reader& r, const toml::table& t, const std::string& path, const char* key, bool embed,
                  FileCheck check, double shape = 0)
{
    ItemData item;
    std::string file;
    if (!Get(r, t, path, key, file))
        return item;
    Node at = t.get(key);
    std::vector<uint8_t> bytes;
    std::string failure;
    if (!ReadInput(r, file, bytes, failure)) {
        Fail(r, at, Join(path, key), failure);
        return item;
    }
    // An empty item would be recorded with the length that means none.
    if (bytes.empty()) {
        Fail(r, at, Join(path, key), "is empty");
        return item;
    }
    if (bytes.size() > ITEM_LIMIT) {
        Fail(r, at, Join(path, key), "is larger than 2 GB");
        return item;
    }
    if (!HasExpectedFormat(bytes, check)) {
        Fail(r, at, Join(path, key), check == CHECK_BMP ? "is not a BMP picture" : "is not a WAV sound");
        return item;
    }
    if (check == CHECK_BMP)
        NoteShape(r, at, Join(path, key), bytes, shape);
    if (embed) {
        item.form = ITEM_EMBEDDED;
        item.data = std::move(bytes);
        return item;
    }
    item.name = RelativeName(r, at, Join(path, key), BaseName(file), strlen(SetupFolderExample));
    item.form = ITEM_EXTERNAL;
    return item;
}

} // namespace

void ReadSound(Reader& r, const toml::table& root, PackageInputs& in)
{
    const toml::table* t = GetTable(r, root, "", "sound");
    if (!t)
        return;
    CheckKeys(r, *t, "sound", {"file", "embed", "repeat"});
    bool embed = true, repeat = true;
    Get(r, *t, "sound", "embed", embed);
    Get(r, *t, "sound", "repeat", repeat);
    if (!t->get("file"))
        Fail(r, t, "sound.file", "is missing");
    in.sound = ReadItem(r, *t, "sound", "file", embed, CHECK_WAV);
    in.playMode = repeat ? 0 : 1;
}

void ReadPictures(Reader& r, const toml::table& root, PackageInputs& in)
{
    const toml::table* t = GetTable(r, root, "", "pictures");
    if (!t)
        return;
    CheckKeys(r, *t, "pictures", {"welcome", "destination", "ready", "finish", "embed"});
    bool embed = true;
    Get(r, *t, "pictures", "embed", embed);
    std::string files[4];
    for (int i = 0; i < 4; i++) {
        Get(r, *t, "pictures", SheetNames[i], files[i]);
        // A file an earlier sheet shows already is shared, not carried twice.
        for (int j = 0; j < i && !files[i].empty() && in.sheetReferences[i] == 0; j++)
            if (Resolve(r, files[j]) == Resolve(r, files[i]))
                in.sheetReferences[i] = (int16_t)(i - j);
        if (in.sheetReferences[i] == 0)
            in.sheets[i] = ReadItem(r, *t, "pictures", SheetNames[i], embed, CHECK_BMP, SHEET_SHAPE);
    }
}

void ReadBanners(Reader& r, const toml::table& root, PackageInputs& in)
{
    const std::vector<const toml::table*> banners = GetTables(r, root, "banner");
    for (size_t i = 0; i < banners.size(); i++) {
        const toml::table& t = *banners[i];
        const std::string path = Indexed("banner", i);
        CheckKeys(r, t, path, {"file", "placement", "embed"});
        bool embed = true;
        Get(r, t, path, "embed", embed);
        if (!t.get("file"))
            Fail(r, &t, path + ".file", "is missing");
        BannerInput banner;
        if (Node n = t.get("placement")) {
            const toml::array* a = n->as_array();
            bool ok = a && a->size() == 4;
            for (size_t k = 0; ok && k < 4; k++) {
                const auto* v = a->get(k)->as_integer();
                ok = v && v->get() >= -100000 && v->get() <= 100000;
                banner.placement[k] = ok ? (int32_t)v->get() : 0;
            }
            if (!ok)
                Fail(r, n, path + ".placement", "must be four percentages [left, top, right, bottom]");
        }
        banner.picture = ReadItem(r, t, path, "file", embed, CHECK_BMP, BannerShape(banner.placement));
        in.banners.push_back(banner);
    }
    if (in.banners.size() > COUNT_LIMIT)
        Fail(r, root.get("banner"), "banner", "more than 32767 banners");
}

} // namespace manifest_reading
