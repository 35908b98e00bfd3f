// Turns what a manifest says into the bytes of a setup executable.
#pragma once
#include "manifest.h"

struct PackageBlocks {
    Bytes script;
    Bytes data;
    uint32_t fileSectionLength = 0;
};

PackageBlocks BuildBlocks(const PackageInputs& in);

// The setup program with the package and its trailer appended; false with a
// reason when the package cannot be carried.
bool BuildSetup(const Bytes& stub, const PackageInputs& in, CompressionLevel level, const EncodeProgress* progress,
                Bytes& setup, std::string& error);
