// The uninstaller: removes a product by the install log its command line
// names, last of its arguments. Nothing changes before the user agrees, and
// nothing changes at all when the log is not whole or names what no install
// makes. Every text it shows of a product comes from the log.
#include "arguments.h"
#include "base/end_session.h"
#include "base/folders.h"
#include "base/paths.h"
#include "base/system_library.h"
#include "engine/install_folders.h"
#include "engine/log_check.h"
#include "engine/log_undo.h"
#include "engine/run_program.h"
#include "other_logs.h"
#include "progress_window.h"
#include "removal.h"
#include "temporary_copy.h"
#include <string.h>

namespace {

const char DamagedText[] = "This install log cannot be read or is damaged:\n%.259s\n\nNothing was removed.";
const char RefusedText[] =
    "This install log names what no install makes:\n%.259s\n\nRecord %lu: %.259s\n\nNothing was removed.";

int Tell(const char* text, const char* title, UINT flags)
{
    return MessageBoxA(NULL, text, title, flags | MB_SETFOREGROUND);
}

int ReportUnreadable(const char* logPath)
{
    char text[sizeof DamagedText + PATH_SIZE];
    wsprintfA(text, DamagedText, logPath);
    Tell(text, "Uninstall", MB_ICONERROR);
    return 1;
}

// A log that names a file outside the folders an install writes to, a key
// that Windows and every program share, or an uninstaller elsewhere than
// beside it was not written by an install: nothing it names is touched.
int IsRefused(const char* logPath, uint8_t* log, DWORD size, const Removal& r)
{
    char folder[PATH_SIZE];
    FolderOfPath(folder, logPath);
    const long refused = FirstRefusedRecord(log, size, FindInstallFolders(folder));
    if (refused < 0)
        return 0;
    static char text[sizeof RefusedText + 2 * PATH_SIZE + 16];
    wsprintfA(text, RefusedText, logPath, (unsigned long)refused, r.records[refused].text);
    Tell(text, "Uninstall", MB_ICONERROR);
    return 1;
}

// The first command may stop the removal, as the install commands stop the
// install: 0 then. The second never does. A first program that was one of
// the product's files and is gone (an earlier run removed it) is passed over.
int RunUninstallCommands(const LogHeader& h, const Removal& r)
{
    const UninstallCommand& first = h.first;
    if (first.present && first.path[0] && !IsInstalledFileGone(r, first.path) &&
        RunProgram(first.path, first.arguments, 1) == -1) {
        const char* text = StartFailureText(first.flags, first.message);
        const int stops = StartFailureStops(first.flags);
        if (text)
            Tell(text, h.product, stops ? MB_ICONERROR : MB_ICONINFORMATION);
        if (stops)
            return 0;
    }
    if (h.second.present && h.second.path[0])
        RunProgram(h.second.path, h.second.arguments, !(h.second.flags & LOG_UNINSTALL_2_FLAG));
    return 1;
}

void Report(const LogHeader& h, const Removal& r)
{
    if (!r.anyStayed) {
        Tell(h.success, h.product, MB_ICONINFORMATION);
        return;
    }
    static char text[STAYED_SIZE + 1100];
    wsprintfA(text, "%.1000s\n\n", h.partial);
    AppendText(text, sizeof text, r.stayed);
    Tell(text, h.product, MB_ICONEXCLAMATION);
}

// The log and the destination folder go last, and only when all else went;
// the folder of an uninstaller copy that runs in it goes after that copy,
// when Windows next starts.
void RemoveLogAndFolder(const Removal& r)
{
    DeleteFileA(r.logPath);
    char folder[PATH_SIZE];
    FolderOfPath(folder, r.logPath);
    if (!RemoveDirectoryA(folder) && r.ownCopyLater)
        MoveFileExA(folder, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
}

int Uninstall(const char* logPath)
{
    DWORD size = 0;
    uint8_t* log = ReadWholeLog(logPath, &size);
    uint32_t count = 0;
    LogHeader h = {};
    uint8_t flags = 0;
    static Removal r;
    r.logPath = logPath;
    if (!log || !LogIsWhole(log, size, &count) || !ReadLogHeader(log, size, h, &flags) ||
        !ReadRemovalRecords(log, size, r))
        return ReportUnreadable(logPath);
    if (IsRefused(logPath, log, size, r))
        return 1;
    if (Tell(h.question, h.product, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 0;
    if (!ReadOtherLogs(logPath))
        return ReportUnreadable(logPath);
    if (!RunUninstallCommands(h, r))
        return 0;
    r.window = OpenProgressWindow(h.product);
    RemoveLoggedChanges(r);
    if (!r.anyStayed)
        RemoveLogAndFolder(r);
    if (r.window)
        DestroyWindow(r.window);
    Report(h, r);
    if (h.restartMode && Tell(h.sessionQuestion, h.product, MB_YESNO | MB_ICONQUESTION) == IDYES)
        EndSession(h.restartMode == RESTART_REBOOT ? EWX_REBOOT : EWX_LOGOFF);
    return r.anyStayed ? 2 : 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    KeepDllsInSystemFolder();
    ReadLeadByteRanges();
    // Windows' own copy of the command line is left as it is.
    static char line[32768];
    lstrcpynA(line, GetCommandLineA(), sizeof line);
    char* arguments[MAX_ARGUMENTS];
    const int count = SplitArguments(line, arguments);
    const char* logPath = count > 1 ? arguments[count - 1] : "";
    // No install writes a log under a longer path; the folders and commands
    // made from it have room for no more.
    if (strlen(logPath) >= PATH_SIZE)
        return ReportUnreadable(logPath);
    if (!TakeOverInTemporaryCopy(count, arguments, logPath))
        return 0;
    const int result = Uninstall(logPath);
    RemoveTemporaryCopyLater();
    return result;
}
