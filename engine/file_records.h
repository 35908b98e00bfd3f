// The file section of the data block as the install walks it: one reading
// position for the process, and for each record its target path, its source
// beside the setup program, its times and the flags the log needs.
#pragma once
#include "base/paths.h"
#include <stdint.h>
#include <windows.h>

enum InstallFlag : uint8_t {
    INSTALL_REMOVES_FOLDER = 0x01, // the log removes the file's folder with it
    INSTALL_IS_README = 0x80,
};

struct InstallItem {
    char targetPath[PATH_SIZE]; // where the record goes
    // The body's size, or for a file beside the setup program that file's current size.
    uint32_t size;
    const uint8_t* body;        // carried files; null for a reference
    char sourcePath[PATH_SIZE]; // references; empty for a carried file
    FILETIME created, modified;
    uint32_t attributes;
    uint32_t progressSize;      // what the record adds to the bytes done
    uint8_t flags;              // InstallFlag bits
    // The copy the newer-copy test found at the target.
    FILETIME existingCreated;
    uint32_t existingSize;
};

// Starts reading at the beginning of the data block: the number of file
// records, the uninstaller's included, or -1 for a count the block cannot hold.
int OpenFileSection();
// The next record, 1; or 0 for one that is damaged, runs past the block or
// names a path that does not fit.
int ReadFileRecord(InstallItem& item);
// The offset in the data block where the next section begins.
uint32_t FileSectionEnd();
