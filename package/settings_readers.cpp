#include "settings_readers.h"
#include "base/paths.h"
#include "base/shared.h"
#include "base/temp_folder.h"
#include "shared.h"
#include <string.h>
#include <windows.h>

ByteCursor SettingsCursor;
TempFileRecord SoundFile;
uint16_t PlayOnce;
Appearance WindowAppearance = DefaultAppearance();
TempFileRecord SheetPicture[4];
TempFileRecord BannerPicture;
int32_t BannerPlacement[4];
int16_t BannerCount;
uint32_t BannerAtStart;

const char SoundTempName[] = "~QXinwaw.wav";
const char BannerTempName[] = "~QXinGbm.bmp";

// Writes an embedded file to the private temporary folder under name; a file
// that cannot be written whole is removed and the item is absent. An entry
// already there is replaced, never followed: it could be a link.
static void ExtractItem(TempFileRecord& r, const ItemSource& item, const char* name)
{
    const char* folder = PrivateTempFolder();
    if (!folder[0] || !JoinPath(r.path, folder, name))
        return;
    DeleteFileA(r.path);
    HANDLE file = CreateFileA(r.path, GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, item.bytes, item.size, &written, NULL);
    CloseHandle(file);
    if (!ok || written != item.size) {
        DeleteFileA(r.path);
        return;
    }
    r.present = 1;
    r.deleteAfterUse = 1;
}

static void PlaceItem(TempFileRecord& r, const ItemSource& item, const char* tempName)
{
    r.present = 0;
    r.deleteAfterUse = 0;
    if (item.form == ITEM_EXTERNAL)
        r.present = JoinPath(r.path, SetupDir, (const char*)item.bytes);
    else if (item.form == ITEM_EMBEDDED)
        ExtractItem(r, item, tempName);
}

void ReadSoundSetting()
{
    const SoundRecord sound = ReadSoundRecord(SettingsCursor);
    PlayOnce = sound.playMode == 1;
    PlaceItem(SoundFile, sound.source, SoundTempName);
}

void ReadAppearance()
{
    ReadAppearanceRecord(SettingsCursor, WindowAppearance);
}

void ReadSheetPictures()
{
    for (int i = 0; i < 4; i++) {
        const SheetRecord sheet = ReadSheetRecord(SettingsCursor);
        TempFileRecord& r = SheetPicture[i];
        char name[16];
        wsprintfA(name, "~Q%dSheet.bmp", i);
        PlaceItem(r, sheet.source, name);
        const int k = sheet.backReference;
        if (sheet.source.form != ITEM_NONE || k < 1 || k > i)
            continue;
        // A shared picture is deleted only through the sheet that owns it.
        r = SheetPicture[i - k];
        r.deleteAfterUse = 0;
    }
}

void ReadBannerPicture(TempFileRecord& record, const char* tempName, int first)
{
    BannerRecord banner;
    if (!first) {
        BannerHead head;
        const int read = ReadBannerList(SettingsCursor, head, banner);
        BannerCount = head.count;
        BannerAtStart = head.atStart;
        if (!read)
            return;
    } else {
        banner = ReadBannerRecord(SettingsCursor);
    }
    PlaceItem(record, banner.source, tempName);
    if (banner.source.form != ITEM_NONE)
        memcpy(BannerPlacement, banner.placement, sizeof BannerPlacement);
}

static void ResolveCommandPath(const CommandRecord& c, char* path)
{
    if (c.present)
        ResolveFolderPath(c.folder, path, c.path);
    else
        path[0] = 0;
}

int ReadUninstallCommand1(char* path, const char** arguments, uint8_t* flags, const char** message)
{
    const CommandRecord c = ReadCommandRecord(SettingsCursor, COMMAND_UNINSTALL_1);
    ResolveCommandPath(c, path);
    *arguments = c.arguments;
    *flags = c.flags;
    *message = c.message;
    return c.present;
}

int ReadUninstallCommand2(char* path, const char** arguments, uint8_t* flags)
{
    const CommandRecord c = ReadCommandRecord(SettingsCursor, COMMAND_UNINSTALL_2);
    ResolveCommandPath(c, path);
    *arguments = c.arguments;
    if (c.present)
        *flags |= c.flags & UNINSTALL_2_LOG_FLAG;
    return c.present;
}

int ReadRunCommand(char* path, const char** arguments, uint32_t* expectedExitCode, uint8_t* flags,
                   const char** message)
{
    const CommandRecord c = ReadCommandRecord(SettingsCursor, COMMAND_INSTALL);
    *flags = c.flags;
    if (!c.present)
        return 0;
    ResolveCommandPath(c, path);
    *arguments = c.arguments;
    *expectedExitCode = c.expectedExitCode;
    *message = (c.flags & COMMAND_HAS_MESSAGE) ? c.message : nullptr;
    return 1;
}
