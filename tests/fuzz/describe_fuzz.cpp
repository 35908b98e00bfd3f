// Fuzzes the description qpack prints of a setup file: reading the package
// with the setup program's readers, describing it, and printing text and JSON.
#include "fuzz_package.h"
#include "qpack/package_contents.h"
#include "qpack/package_description.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    std::vector<uint8_t> file;
    PackageTrailer t;
    if (!SetupFileFrom(input, size, file, t))
        return 0;
    PackageContents contents;
    std::string error;
    if (!ReadPackageContents(file, contents, error))
        return 0;
    const Report report = DescribePackage(contents);
    RenderText(report);
    RenderJson(report);
    return 0;
}
