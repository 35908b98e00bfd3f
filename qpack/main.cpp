// qpack: builds setup executables from a manifest, and inspects and unpacks
// them. Exit codes: 0 success, 1 bad input, 2 wrong usage.
#include "extract.h"
#include "file_facts.h"
#include "package_description.h"
#include "package_builder.h"
#include <CLI/CLI.hpp>
#include <chrono>
#include <stdio.h>
#include <unistd.h>

namespace {

enum ExitCode { EXIT_OK = 0, EXIT_BAD_INPUT = 1, EXIT_USAGE = 2 };

void ShowProgress(void*, size_t done, size_t total)
{
    fprintf(stderr, "\rqpack: compressing %3d%%", total ? (int)(done * 100 / total) : 100);
    fflush(stderr);
}

int Build(const std::string& manifest, const std::string& output, const std::string& stubPath, bool fast)
{
    const auto start = std::chrono::steady_clock::now();
    PackageInputs inputs;
    std::vector<std::string> errors;
    if (!LoadManifest(manifest, inputs, errors)) {
        for (const std::string& e : errors)
            fprintf(stderr, "%s\n", e.c_str());
        return EXIT_BAD_INPUT;
    }
    Bytes stub;
    if (!ReadWholeFile(stubPath, stub)) {
        fprintf(stderr, "%s: cannot read the setup program\n", stubPath.c_str());
        return EXIT_BAD_INPUT;
    }
    if (inputs.files[0].body.empty())
        fprintf(stderr, "%s: note: names no uninstaller (product.uninstaller); the install will place an empty one\n",
                manifest.c_str());
    const EncodeProgress progress = {ShowProgress, nullptr};
    const bool terminal = isatty(fileno(stderr));
    Bytes setup;
    std::string error;
    const bool built = BuildSetup(stub, inputs, fast ? COMPRESS_FAST : COMPRESS_BEST, terminal ? &progress : nullptr,
                                  setup, error);
    if (terminal)
        fprintf(stderr, "\r%30s\r", "");
    if (!built) {
        fprintf(stderr, "%s: %s\n", manifest.c_str(), error.c_str());
        return EXIT_BAD_INPUT;
    }
    if (!WriteWholeFile(output, setup)) {
        remove(output.c_str());
        fprintf(stderr, "%s: cannot write the setup program\n", output.c_str());
        return EXIT_BAD_INPUT;
    }
    const PackageTrailer t = ParseTrailer(setup.data() + setup.size() - TRAILER_SIZE);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double unpacked = (double)t.scriptSize + t.dataSize;
    printf("%s: %zu files, %zu shortcuts, %zu registry values; %.0f bytes packed into %u (ratio %.2f), "
           "%zu bytes in all, in %.2f s\n",
           output.c_str(), inputs.files.size() - 1, inputs.shortcuts.size(), inputs.registry.size(), unpacked,
           t.packedSize, unpacked / t.packedSize, setup.size(), seconds);
    return EXIT_OK;
}

bool Open(const std::string& path, Bytes& exe, PackageContents& contents)
{
    std::string error;
    if (!ReadWholeFile(path, exe)) {
        fprintf(stderr, "%s: cannot read the file\n", path.c_str());
        return false;
    }
    if (!ReadPackageContents(exe, contents, error)) {
        fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

int Inspect(const std::string& path, bool json)
{
    Bytes exe;
    PackageContents contents;
    if (!Open(path, exe, contents))
        return EXIT_BAD_INPUT;
    const Report report = DescribePackage(contents);
    fputs((json ? RenderJson(report) : RenderText(report)).c_str(), stdout);
    return contents.damage.empty() ? EXIT_OK : EXIT_BAD_INPUT;
}

int Extract(const std::string& path, const std::string& folder)
{
    Bytes exe;
    PackageContents contents;
    if (!Open(path, exe, contents))
        return EXIT_BAD_INPUT;
    std::vector<std::string> problems = contents.damage;
    const int written = ExtractPackage(contents, folder, problems);
    for (const std::string& p : problems)
        fprintf(stderr, "%s: %s\n", path.c_str(), p.c_str());
    printf("%s: %d items written to %s\n", path.c_str(), written, folder.c_str());
    return problems.empty() ? EXIT_OK : EXIT_BAD_INPUT;
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"qpack: builds QInstall setup programs, and inspects and unpacks them"};
    app.require_subcommand(1);
    std::string manifest, output, stub = QI_DEFAULT_STUB, setup, folder;
    bool fast = false, json = false;
    CLI::App* build = app.add_subcommand("build", "build a setup program from a manifest");
    build->add_option("manifest", manifest, "the product's manifest (TOML)")->required();
    build->add_option("-o,--output", output, "the setup program to write")->required();
    build->add_option("--stub", stub, "the setup program to append the package to")->capture_default_str();
    build->add_flag("--fast", fast, "compress faster, a little less well");
    CLI::App* inspect = app.add_subcommand("inspect", "verify a setup program and print its package");
    inspect->add_option("setup", setup, "the setup program")->required();
    inspect->add_flag("--json", json, "print JSON");
    CLI::App* extract = app.add_subcommand("extract", "write the files, pictures and sound of a package");
    extract->add_option("setup", setup, "the setup program")->required();
    extract->add_option("folder", folder, "the folder to write into")->required();
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? EXIT_OK : EXIT_USAGE;
    }
    if (build->parsed())
        return Build(manifest, output, stub, fast);
    if (inspect->parsed())
        return Inspect(setup, json);
    return Extract(setup, folder);
}
