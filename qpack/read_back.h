// The builder's check of its own output: the finished package, read back with
// the readers the setup program uses, must hold what was meant to be written.
#pragma once
#include "manifest.h"
#include "package_contents.h"

// The first thing the package read back holds otherwise than the inputs and
// the expected trailer say, named with its field; "" when everything agrees.
std::string FirstDifference(const PackageInputs& in, const PackageTrailer& expected, const PackageContents& read);
