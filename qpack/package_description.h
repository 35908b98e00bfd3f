// Everything a package holds, as a report.
#pragma once
#include "package_contents.h"
#include "report.h"

Report DescribePackage(const PackageContents& c);

// "YYYY-MM-DDThh:mm:ssZ" of a FILETIME.
std::string FormatFileTime(uint64_t fileTime);

