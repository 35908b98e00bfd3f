// The readers of a manifest's sections, which LoadManifest calls in turn,
// and where each text came from, for the messages that point back to it.
#pragma once
#include "manifest_reader.h"
#include "slots.h"

namespace manifest_reading {

struct TextSources {
    std::string texts[SLOT_COUNT]; // UTF-8
    Node at[SLOT_COUNT] = {};
    std::string where[SLOT_COUNT]; // file and key for messages
    bool shipped[SLOT_COUNT] = {}; // from a strings file of qpack's own
};

// A text is reported where it was written: in the manifest's [texts] or in a
// strings file; a strings file may well not suit the code page.
void FailText(Reader& r, const TextSources& sources, int slot, const std::string& what);

void ReadTexts(Reader& r, const toml::table& root, const std::string& stringsFile, TextSources& sources,
               PackageInputs& in);

void ReadAppearance(Reader& r, const toml::table& root, PackageInputs& in);

void ReadSound(Reader& r, const toml::table& root, PackageInputs& in);

void ReadPictures(Reader& r, const toml::table& root, PackageInputs& in);

void ReadBanners(Reader& r, const toml::table& root, PackageInputs& in);

void ReadCommands(Reader& r, const toml::table& root, PackageInputs& in);

// The header is reported at its largest text, where the manifest or a
// strings file of the user's has it; a shipped text can be long only by the
// product's name in it.
void CheckLogHeader(Reader& r, const toml::table& root, const TextSources& sources, const PackageInputs& in);

// The uninstaller is the first of the files, with or without a [product]
// table; the [[file]] entries follow in their order, then the files of the
// [[files]] tables, table by table; then similar files are put together.
void ReadFiles(Reader& r, const toml::table& root, PackageInputs& in);

void ReadShortcuts(Reader& r, const toml::table& root, PackageInputs& in);

void ReadRegistry(Reader& r, const toml::table& root, PackageInputs& in);

} // namespace manifest_reading
