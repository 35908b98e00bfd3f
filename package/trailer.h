// The 29-byte trailer at the end of a setup executable, and the install-wide
// settings its flags and sizes give.
#pragma once
#include <stdint.h>

enum { TRAILER_SIZE = 29 };

enum TrailerFlag : uint8_t {
    TRAILER_GROUP_STEP = 0x01,
    TRAILER_UNINSTALL_LOGOFF = 0x10,
    TRAILER_UNINSTALL_RESTART = 0x20,
    TRAILER_LOGOFF = 0x40,
    TRAILER_RESTART = 0x80,
};

enum RestartModeValue : uint16_t { RESTART_NONE = 0, RESTART_REBOOT = 1, RESTART_LOGOFF = 2 };

struct PackageTrailer {
    uint8_t flags;
    uint32_t fileSectionLength;
    uint32_t spaceRequired;
    uint32_t packedSize;
    uint32_t scriptSize;
    uint32_t reserved;
    uint32_t dataSize;
    uint32_t payloadOffset;
};

struct TrailerSettings {
    uint32_t FileSectionLength;
    uint32_t SpaceRequired;
    uint8_t GroupStepEnabled;
    uint16_t RestartMode;
    uint16_t UninstallRestartMode;
};

PackageTrailer ParseTrailer(const uint8_t bytes[TRAILER_SIZE]);
void WriteTrailer(const PackageTrailer& t, uint8_t bytes[TRAILER_SIZE]);
TrailerSettings SettingsFromTrailer(const PackageTrailer& t);

// 1 when the payload lies inside the file before the trailer and has room for
// its header; 0 otherwise.
int PayloadFitsFile(const PackageTrailer& t, uint32_t fileSize);

// Where the package of a setup executable of size bytes ends: before the
// certificate table when a signature's table, which a signature adds at the
// very end, ends the file; otherwise at the end of the file.
uint32_t PackageEnd(const uint8_t* file, uint32_t size);
