// A package of the uninstaller alone, with the string slots the log's header
// reads, and the install log opened from it: what the engine's file and log
// steps need before they change anything.
#pragma once
#include "base/shared.h"
#include "driver/file_bytes.h"
#include "engine/install_log.h"
#include "package/load_package.h"
#include "package/package_writer.h"
#include "package/settings_readers.h"
#include "package/shared.h"
#include "package/string_table.h"
#include <gtest/gtest.h>
#include <string.h>

struct OpenedLog {
    Bytes script, settings, data;

    // The slot texts of the log's worked example: 3 = A, 47, 48, 49 = B, C, D.
    void Prepare(const char* destination)
    {
        std::vector<std::string> texts(63);
        texts[3] = "A";
        texts[47] = "B";
        texts[48] = "C";
        texts[49] = "D";
        PutStringTable(script, texts);
        ParseSetupStrings(script.data(), script.size());
        FileEntry uninstaller;
        uninstaller.relativeName = "\\uninstall.exe";
        uninstaller.body = Bytes{'M', 'Z', 1, 2, 3};
        data.clear();
        PutU16(data, 1);
        PutFileRecord(data, uninstaller);
        PutU16(data, 0);
        PutU16(data, 0);
        Package.data = data.data();
        Package.dataSize = (uint32_t)data.size();
        Package.settings.UninstallRestartMode = 0;
        lstrcpynA(DestinationPath, destination, PATH_SIZE);
    }

    // The uninstall command records come next at the settings cursor.
    void Open(const char* folder)
    {
        settings.clear();
        PutCommandRecord(settings, COMMAND_UNINSTALL_1, CommandData{});
        PutCommandRecord(settings, COMMAND_UNINSTALL_2, CommandData{});
        SettingsCursor = CursorOver(settings.data(), settings.size());
        OpenFileSection();
        ASSERT_TRUE(OpenInstallLog(folder));
    }
};
