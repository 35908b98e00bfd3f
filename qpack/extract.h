// Writes what a package carries below a folder: its files by root folder,
// the uninstaller, the pictures and the sound. The package may come from
// anywhere: names that would lead outside the folder are refused.
#pragma once
#include "package_contents.h"

// Returns the number of items written; every item refused or not written is
// described in problems.
int ExtractPackage(const PackageContents& c, const std::string& folder, std::vector<std::string>& problems);

// The path below folder for a name from a package, decoded to UTF-8
// (backslashes or slashes between parts), or "" when a part is empty, "." or
// "..", or names a drive or stream.
std::string SafePathBelow(const std::string& folder, const std::string& name);
