// Fuzzes extract's path check on names as a package stores them: the first
// byte picks the code page they are decoded with. Whatever name comes in,
// the path must stay below the folder.
#include "qpack/codepage.h"
#include "qpack/extract.h"
#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    static const int codePages[] = {1252, 1251, 932, 936, 949, 950};
    if (size < 1)
        return 0;
    const std::string stored((const char*)input + 1, size - 1);
    const std::string path = SafePathBelow("/out", CodePageToUtf8(stored, codePages[input[0] % 6]));
    if (path.empty())
        return 0;
    const std::string normal = std::filesystem::path(path).lexically_normal().string();
    if (normal.compare(0, 5, "/out/") != 0 || normal.size() == 5)
        __builtin_trap();
    return 0;
}
