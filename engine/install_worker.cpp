#include "install_worker.h"
#include "base/banner_message.h"
#include "base/shared.h"
#include "base/sound_player.h"
#include "engine/shared.h"
#include "install_file.h"
#include "install_folders.h"
#include "install_log.h"
#include "log_undo.h"
#include "newer_copy_prompt.h"
#include "older_copies.h"
#include "package/data_records.h"
#include "package/load_package.h"
#include "package/settings_readers.h"
#include "package/shared.h"
#include "package/string_table.h"
#include "progress_dialog.h"
#include "registration.h"
#include "registry_values.h"
#include "res/resource_ids.h"
#include "rollback.h"
#include "run_program.h"
#include "shortcuts.h"
#include "staging_folder.h"
#include <string.h>

namespace {

HWND Dialog;

struct InstallCommand {
    int present;
    char path[PATH_SIZE];
    const char* arguments;
    uint32_t expectedExitCode;
    uint8_t flags;
    const char* message;
};

// The programs the install runs: the first after the first file, the second
// after the registry values.
InstallCommand Commands[2];

void Status(const char* text)
{
    SetDlgItemTextA(Dialog, IDC_PROGRESS_STATUS, text);
}

enum { NAME_SHOWN_MS = 50 };
DWORD NameShownAt;

// A file's name waits until the last one has stood for a moment: names
// faster than anyone reads would cost each small file a round trip to the
// dialog's thread and a repaint. A file tried again after a question is
// always named.
void ShowFileName(const char* path, int again)
{
    const DWORD now = GetTickCount();
    if (!again && NameShownAt && now - NameShownAt < NAME_SHOWN_MS)
        return;
    NameShownAt = now ? now : 1;
    Status(path);
}

void EndInstall(int button)
{
    SendMessageA(GetDlgItem(Dialog, button), BM_CLICK, 0, 0);
}

// Rolls back what the log records, says why when there is a text for it,
// and ends the dialog as aborted.
void AbortWith(HWND owner, const char* text)
{
    RollBackInstallLog();
    if (text && text[0])
        MessageBoxA(owner, text, SetupString(SLOT_SETUP_CAPTION), MB_ICONERROR);
    EndInstall(IDC_PROGRESS_ABORTED);
}

void Abort(StringSlot slot)
{
    AbortWith(Dialog, SetupString(slot));
}

// Only Yes ends the install.
int UserWantsToExit()
{
    return MessageBoxA(Dialog, SetupString(SLOT_CANCEL_QUESTION), SetupString(SLOT_SETUP_CAPTION),
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

int AskAboutCopyError(const InstallItem& item)
{
    char text[1024];
    wsprintfA(text, "%s\n%s\n", SetupString(SLOT_ERROR_COPY_FILE), item.targetPath);
    return MessageBoxA(Dialog, text, SetupString(SLOT_SETUP_CAPTION),
                       MB_ABORTRETRYIGNORE | MB_ICONINFORMATION | MB_DEFBUTTON2);
}

// The banner record's picture replaces the banner on the background; one
// that does not load leaves none.
void ShowBanner()
{
    HBITMAP bitmap;
    if (!LoadBannerPicture(BannerPicture.path, &bitmap))
        bitmap = NULL;
    ReplaceBannerPicture(bitmap, BannerPlacement);
    if (BannerPicture.deleteAfterUse)
        DeleteFileA(BannerPicture.path);
}

void ReadInstallCommands()
{
    for (InstallCommand& c : Commands)
        c.present = ReadRunCommand(c.path, &c.arguments, &c.expectedExitCode, &c.flags, &c.message);
}

// One of the install's programs, with the progress dialog hidden: 1 to go
// on, 0 when the install has been aborted. The messages belong to the
// background, since the dialog is hidden.
int RunInstallCommand(int second)
{
    const InstallCommand& c = Commands[second];
    if (!c.present)
        return 1;
    ShowWindow(Dialog, SW_HIDE);
    const int wait = !second || !(c.flags & COMMAND_NO_WAIT);
    const int result = RunProgram(c.path, c.arguments, wait);
    if (result == -1) {
        const char* text = StartFailureText(c.flags, c.message);
        if (StartFailureStops(c.flags)) {
            AbortWith(BackgroundWindow, text);
            return 0;
        }
        if (text)
            MessageBoxA(BackgroundWindow, text, SetupString(SLOT_SETUP_CAPTION), MB_ICONINFORMATION);
    } else if (wait && (uint32_t)result != c.expectedExitCode) {
        Sleep(500);
        AbortWith(Dialog, nullptr);
        return 0;
    }
    if (!second) {
        ShowWindow(Dialog, SW_SHOW);
        SetForegroundWindow(Dialog);
    }
    return 1;
}

// One record until it is installed, kept, passed over or the user gives up:
// 1 to go on with the next, 0 when the install has been aborted.
int InstallRecord(InstallItem& item)
{
    int checkNewer = 1, retry = 0;
    for (int attempt = 0;; attempt++) {
        ShowFileName(item.targetPath, attempt);
        const int result = InstallFile(item, checkNewer);
        checkNewer = 1;
        if (result == INSTALL_NOT_LOGGED) {
            Abort(SLOT_ERROR_WRITE_LOG);
            return 0;
        }
        if (result == INSTALL_DONE && (item.flags & INSTALL_IS_README))
            memcpy(Choices.readme, item.targetPath, PATH_SIZE);
        if (result == INSTALL_NEWER_ON_DISK) {
            const INT_PTR answer = AskAboutNewerCopy(Dialog, item);
            if (answer == IDC_NEWER_OVERWRITE) {
                checkNewer = 0;
                continue;
            }
            if (answer == IDCANCEL)
                CancelRequested = retry = 1;
        }
        if (result == INSTALL_FAILED) {
            const int answer = AskAboutCopyError(item);
            if (answer == IDRETRY)
                continue;
            if (answer == IDABORT)
                CancelRequested = retry = 1;
        }
        if (CancelRequested) {
            if (UserWantsToExit()) {
                AbortWith(Dialog, nullptr);
                return 0;
            }
            CancelRequested = 0;
            if (retry) {
                retry = 0;
                continue;
            }
        }
        return 1;
    }
}

// Records 1 to count - 1 with the bar and the banners following the bytes
// done; 0 when the install has been aborted.
int InstallFiles(int count)
{
    const uint32_t total = Package.settings.FileSectionLength;
    const uint32_t percent = total / 100;
    const uint32_t bannerInterval = BannerCount > 0 ? total / (uint32_t)BannerCount : 0;
    uint32_t done = 0, banners = 0;
    for (int i = 1; i < count; i++) {
        InstallItem item;
        if (!ReadFileRecord(item)) {
            Abort(SLOT_ERROR_CORRUPTED);
            return 0;
        }
        if (!InstallRecord(item))
            return 0;
        // The first program may be the first file.
        if (i == 1 && !RunInstallCommand(0))
            return 0;
        done += item.progressSize;
        // A section shorter than 100 bytes leaves the bar empty until the end.
        if (percent)
            SetProgressPosition(InstallBar, done / percent);
        if (bannerInterval && banners < (uint32_t)BannerCount && bannerInterval * (banners + 1) < done) {
            banners++;
            ReadBannerPicture(BannerPicture, BannerTempName, 1);
            ShowBanner();
        }
    }
    LeaveStagingFolder();
    return 1;
}

// One link, logged before it is made, as a file is: 1 when it was made or
// passed over, 0 when the log could not name it.
int MakeLink(const LinkItem& item, const InstallFolders& folders)
{
    const int aside = item.link[0] && PathIsInside(item.link, folders) ? SetAsideOlderCopy(item.link) : 0;
    if (aside == OLDER_COPY_REFUSED)
        return 1;
    // A link the package names twice replaces its own first, which the log
    // names already.
    const int logged = aside != OLDER_COPY_IS_OWN;
    if (logged && !AppendToInstallLog(LogRecord{LOG_FILE, item.inGroup, item.link, 0, nullptr})) {
        if (aside == OLDER_COPY_SET_ASIDE)
            PutBackLastOlderCopy();
        return 0;
    }
    if (FAILED(CreateShortcut(item.target, item.link, "QInstall", item.arguments, item.icon, item.iconIndex)) &&
        logged) {
        WithdrawLastLogRecord();
        if (aside == OLDER_COPY_SET_ASIDE)
            PutBackLastOlderCopy();
    }
    return 1;
}

// The links of the shortcut section, which begins where the files end. A
// link that was there before is set aside for a rollback, as a file the
// install replaces; a link outside the folders links go to, or one that
// cannot be set aside, is passed over. 0 when the install has been aborted.
int CreateShortcuts(ByteCursor& c)
{
    Status(SetupString(SLOT_STATUS_SHORTCUTS));
    const InstallFolders& folders = FindInstallFolders(DestinationPath);
    LinkItem item;
    for (int count = ReadSectionCount(c); count; count--) {
        if (count < 0 || !ReadShortcutRecord(c, item)) {
            Abort(SLOT_ERROR_CORRUPTED);
            return 0;
        }
        if (!MakeLink(item, folders)) {
            Abort(SLOT_ERROR_WRITE_LOG);
            return 0;
        }
    }
    return 1;
}

// The registry section, the last of the data block; a value that cannot be
// written stops the install only when its record says so.
int WriteRegistryValues(ByteCursor& c)
{
    Status(SetupString(SLOT_STATUS_REGISTRY));
    for (int count = ReadSectionCount(c); count; count--) {
        RegistryRecord r;
        if (count < 0 || !ReadRegistryRecordBytes(c, r)) {
            Abort(SLOT_ERROR_CORRUPTED);
            return 0;
        }
        char key[PATH_SIZE];
        const int fits = JoinPath(key, r.key, "");
        const void* data = r.kind == VALUE_NUMBER ? (const void*)&r.number : r.data;
        const uint32_t length = r.kind == VALUE_NUMBER ? 4 : r.length;
        if (fits && WriteRegistryValue(r.root, key, r.valueName, r.kind, data, length)) {
            // An empty name wrote no value, only the keys, which are logged
            // when they are new. A value the log cannot name goes again, and
            // the install with it.
            if (r.valueName[0] && !AppendToInstallLog(LogRecord{LOG_REGISTRY, 0, key, r.root, r.valueName})) {
                DeleteLoggedRegistry(key, r.valueName, 0, r.root);
                Abort(SLOT_ERROR_WRITE_LOG);
                return 0;
            }
        } else if (r.flags & REGISTRY_STOP_ON_FAILURE) {
            AbortWith(Dialog, r.message);
            return 0;
        }
    }
    return 1;
}

} // namespace

DWORD WINAPI InstallWorker(void* dialog)
{
    Dialog = (HWND)dialog;
    if (BannerCount > 0 && !BannerAtStart)
        ShowBanner();
    StopSound(BackgroundSound, 0);
    // Record 0, the uninstaller, is the log's; a section without it is damaged.
    const int count = OpenFileSection();
    if (count < 1) {
        Abort(SLOT_ERROR_CORRUPTED);
        return 0;
    }
    if (!OpenInstallLog(DestinationPath)) {
        Abort(SLOT_ERROR_CREATE_LOG);
        return 0;
    }
    // Listed from the start, an install cut off at any moment has the
    // usual way to be removed.
    if (!RegisterUninstaller()) {
        AbortWith(Dialog, nullptr);
        return 0;
    }
    ReadInstallCommands();
    if (count == 1 && !RunInstallCommand(0))
        return 0;
    if (!InstallFiles(count))
        return 0;
    ByteCursor sections = CursorOver(Package.data + FileSectionEnd(), Package.dataSize - FileSectionEnd());
    if (!CreateShortcuts(sections) || !WriteRegistryValues(sections) || !RunInstallCommand(1))
        return 0;
    FinishInstallLog();
    Status(SetupString(SLOT_STATUS_DONE));
    SetProgressPosition(InstallBar, 100);
    Sleep(100);
    EndInstall(IDOK);
    return 0;
}
