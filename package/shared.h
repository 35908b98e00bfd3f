// The package's process-wide state: the package as loaded at start-up, and
// the settings records as the start-up reads them. Read by every layer
// above; written only by the loader and the settings readers.
#pragma once
#include "load_package.h"
#include "settings_readers.h"

extern LoadedPackage Package;

// Where the next settings record starts, and what the records read so far hold.
extern ByteCursor SettingsCursor;
extern TempFileRecord SoundFile;
extern uint16_t PlayOnce;
extern Appearance WindowAppearance;
extern TempFileRecord SheetPicture[4];
extern TempFileRecord BannerPicture;
extern int32_t BannerPlacement[4];
extern int16_t BannerCount;
extern uint32_t BannerAtStart;
