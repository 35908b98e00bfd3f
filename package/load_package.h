// Finding, verifying and unpacking the package behind the program image.
#pragma once
#include "trailer.h"
#include <stdint.h>
#include <wchar.h>

// Both blocks live in one area of memory that is never released.
struct LoadedPackage {
    uint8_t* script;   // scriptSize bytes and a 0 byte
    uint32_t scriptSize;
    uint8_t* data;     // dataSize bytes and a 0 byte; set only by a full load
    uint32_t dataSize;
    TrailerSettings settings;
};

// Loads the package of the running executable into Package (shared.h): 1 on success, 0
// on any failure, and 0 without a change when a package is already loaded.
int LoadPackage();

// The same for the executable at path, which is wide so that a folder the
// ANSI code page cannot spell does not stop the load.
int LoadPackageFile(LoadedPackage& package, const wchar_t* path);
