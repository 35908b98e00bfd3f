// The settings records as the setup program uses them: read in file order at
// SettingsCursor, with embedded sound and pictures written to the program's
// private temporary folder; what they read is shared state (shared.h).
#pragma once
#include "settings_records.h"

struct TempFileRecord {
    uint32_t present;
    uint32_t deleteAfterUse; // extracted: its user deletes it
    char path[261];
};

// Temporary names in the private temporary folder.
extern const char SoundTempName[];  // "~QXinwaw.wav"
extern const char BannerTempName[]; // "~QXinGbm.bmp"

void ReadSoundSetting();
void ReadAppearance();
void ReadSheetPictures();
// first = 0 reads the banner list head and, when there are banners, the first
// record; first = 1 reads one further record.
void ReadBannerPicture(TempFileRecord& record, const char* tempName, int first);

// Command readers. A path is resolved into path (PATH_SIZE bytes) and left
// empty when it would not fit; arguments and message point at texts inside
// the script block, which lives as long as the process.
int ReadUninstallCommand1(char* path, const char** arguments, uint8_t* flags, const char** message);
// Sets bit 0x80 of *flags when the record's flags have it; changes no other bit.
int ReadUninstallCommand2(char* path, const char** arguments, uint8_t* flags);
// Leaves the outputs but flags untouched when the command is absent; message
// is null unless the record carries one.
int ReadRunCommand(char* path, const char** arguments, uint32_t* expectedExitCode, uint8_t* flags,
                   const char** message);
