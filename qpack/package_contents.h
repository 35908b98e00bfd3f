// Opening a setup executable the way the setup program does, and reading
// every record of its package. Used on files of unknown origin: every read
// is bounded, and damage is reported, never trusted.
#pragma once
#include "package/data_records.h"
#include "package/settings_records.h"
#include "package/trailer.h"
#include "package/unpack.h"
#include <string>
#include <vector>

struct PackageContents {
    PackageTrailer trailer;
    PackHeader header;
    std::vector<uint8_t> script; // the unpacked blocks; the records point into them
    std::vector<uint8_t> data;
    std::vector<std::string> texts;
    SoundRecord sound;
    Appearance appearance;
    SheetRecord sheets[4];
    BannerHead bannerHead;
    std::vector<BannerRecord> banners;
    CommandRecord commands[4];
    std::vector<FileRecord> files;
    uint32_t fileSectionLength = 0; // as found by walking the file records
    std::vector<ShortcutRecord> shortcuts;
    std::vector<RegistryRecord> registry;
    std::vector<std::string> damage; // what could not be read
    uint64_t signatureSize = 0;      // bytes of a signature's certificate table behind the package
};

// False with a reason when there is no sound package: no trailer, a payload
// outside the file, claims beyond what a package of qpack's limit needs, a
// CRC or format error. Damaged records are listed in contents.damage and the
// rest is still read.
bool ReadPackageContents(const std::vector<uint8_t>& executable, PackageContents& contents, std::string& error);

// The same for the setup program at path, of which only the trailer, the
// payload's header and then the payload are read; false also when the file
// cannot be read, with the system's reason.
bool ReadPackageFile(const std::string& path, PackageContents& contents, std::string& error);

// The code page of the package's texts: the one its header records, or 1252
// when it records none.
int TextCodePage(const PackageContents& c);
