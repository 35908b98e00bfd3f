// Turns what a manifest says into the bytes of a setup executable.
#pragma once
#include "manifest.h"

struct PackageBlocks {
    Bytes script;
    Bytes data;
    uint32_t fileSectionLength = 0;
};

// False with the first record the package writer refuses, named as the manifest names it.
bool BuildBlocks(const PackageInputs& in, PackageBlocks& blocks, std::string& error);

// The setup program with the package and its trailer appended, read back
// and found to hold what was meant; false with a reason when the package
// cannot be carried or reads back otherwise.
bool BuildSetup(const Bytes& stub, const PackageInputs& in, CompressionLevel level, const EncodeProgress* progress,
                Bytes& setup, std::string& error);
