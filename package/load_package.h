// Finding, verifying and unpacking the package behind the program image.
#pragma once
#include "app/paths.h"
#include "trailer.h"
#include <stdint.h>

struct LoadedPackage {
    char setupPath[PATH_SIZE];
    uint8_t* script;   // scriptSize bytes and a 0 byte
    uint32_t scriptSize;
    uint8_t* data;     // dataSize bytes and a 0 byte; set only by a full load
    uint32_t dataSize;
    void* scriptMapping;
    void* dataMapping;
    TrailerSettings settings;
};

extern LoadedPackage Package;

// Loads the package of the running executable into Package: 1 on success, 0
// on any failure, and 0 without a change when a package is already loaded.
int LoadPackage();

// The same for the executable at path.
int LoadPackageFile(LoadedPackage& package, const char* path);
