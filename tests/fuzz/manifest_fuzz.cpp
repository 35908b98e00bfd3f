// Fuzzes the manifest reader. Each input is written as a manifest beside
// links to the examples' files, so that the paths the seeds name resolve
// and the reader goes on past them.
#include "qpack/manifest.h"
#include <filesystem>
#include <fstream>
#include <stdlib.h>

namespace {

namespace fs = std::filesystem;

// A folder laid out like the source tree where the test manifests live.
fs::path ManifestFolder()
{
    char pattern[] = "/tmp/qi-manifest-fuzz-XXXXXX";
    const fs::path root = mkdtemp(pattern);
    const fs::path examples = fs::path(QI_SOURCE_DIR) / "examples";
    const fs::path folder = root / "tests" / "e2e" / "packages";
    fs::create_directories(folder);
    fs::create_directory_symlink(examples, root / "examples");
    fs::create_directory_symlink(examples / "demo" / "media", folder / "media");
    fs::create_directory_symlink(examples / "demo" / "files", folder / "files");
    fs::create_symlink(examples / "demo" / "LICENSE.txt", folder / "LICENSE.txt");
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    static const fs::path manifest = ManifestFolder() / "fuzz.toml";
    std::ofstream(manifest, std::ios::binary | std::ios::trunc).write((const char*)input, (std::streamsize)size);
    PackageInputs inputs;
    std::vector<std::string> errors;
    LoadManifest(manifest.string(), inputs, errors);
    return 0;
}
