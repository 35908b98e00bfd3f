// Reading a product's manifest (TOML) into what a package holds. Every
// mistake is reported with the manifest's file, line and key.
#pragma once
#include "package/package_writer.h"
#include "package/stream_encoder.h"
#include <string>
#include <vector>

struct BannerInput {
    ItemData picture;
    int32_t placement[4] = {0, 0, 0, 0};
};

// Everything a package holds, texts already in the package's code page.
struct PackageInputs {
    std::vector<std::string> texts; // one per string slot
    uint16_t codePage = 1252;       // of the texts, recorded in the payload's header
    uint8_t flags = 0;              // the trailer's switches
    uint8_t packVersion = PACK_VERSION; // the payload's method
    ItemData sound;
    uint16_t playMode = 0;
    Appearance appearance = DefaultAppearance();
    ItemData sheets[4];
    int16_t sheetReferences[4] = {0, 0, 0, 0};
    std::vector<BannerInput> banners;
    bool bannerAtStart = false;
    CommandData commands[4]; // uninstall 1, uninstall 2, install 1, install 2
    std::vector<FileEntry> files; // the uninstaller first
    bool noUninstaller = false;   // product.uninstaller = false: the product has none
    std::vector<std::string> fileNames; // each file as the manifest names it, for messages
    uint32_t spaceRequired = 0;   // bytes of every file, referenced ones included
    std::vector<ShortcutEntry> shortcuts;
    std::vector<RegistryEntry> registry;
    std::vector<std::string> inputPaths; // every file the manifest names, as qpack opened it
    // What will work but may not be what was meant: "file:line: key: note: what".
    std::vector<std::string> notes;
};

// False with one line per mistake in errors ("file:line: key: what is wrong").
// A progress is told the bytes of the files read so far, the whole unknown (0).
bool LoadManifest(const std::string& path, PackageInputs& inputs, std::vector<std::string>& errors,
                  const EncodeProgress* progress = nullptr);

// A file of PackageInputs named as the manifest names it: the uninstaller
// comes first, then "file[0]" and on, then "files[0] 'a/b.txt'" and on.
std::string FileEntryName(const PackageInputs& in, size_t index);
