// qpack: builds setup executables from a manifest, and inspects and unpacks
// them. Exit codes: 0 success, 1 bad input (or an internal error, reported
// as such), 2 wrong usage.
#include "extract.h"
#include "file_facts.h"
#include "package_description.h"
#include "package_builder.h"
#include "platform.h"
#include "program_checks.h"
#include <CLI/CLI.hpp>
#include <chrono>
#include <filesystem>
#include <new>
#include <stdio.h>
#include <thread>

namespace {

enum ExitCode { EXIT_OK = 0, EXIT_BAD_INPUT = 1, EXIT_USAGE = 2 };

using Clock = std::chrono::steady_clock;

// Messages carry names from the command line, manifests and packages, whose
// control characters must not reach the terminal.
void Complain(const std::string& message)
{
    fprintf(stderr, "%s\n", Printable(message).c_str());
}

void Say(const std::string& message)
{
    printf("%s\n", Printable(message).c_str());
}

// A line on the terminal that follows a step: the bytes done, the rate and,
// when the whole is known, the time left; at most ten times a second.
struct ProgressLine {
    explicit ProgressLine(const char* what) : step(what) {}
    const char* step;
    Clock::time_point start = Clock::now(), shown;
};

void ShowProgress(void* context, size_t done, size_t total)
{
    ProgressLine& p = *(ProgressLine*)context;
    const Clock::time_point now = Clock::now();
    if (now - p.shown < std::chrono::milliseconds(100) && done != total)
        return;
    p.shown = now;
    const double seconds = std::chrono::duration<double>(now - p.start).count(), mb = done / 1048576.0;
    char whole[32] = "", left[32] = "";
    if (total) {
        snprintf(whole, sizeof whole, " of %.1f", total / 1048576.0);
        if (done && done < total)
            snprintf(left, sizeof left, ", %.0f s left", seconds * (double)(total - done) / (double)done);
    }
    fprintf(stderr, "\rqpack: %s %.1f%s MB, %.1f MB/s%s   ", p.step, mb, whole, seconds > 0 ? mb / seconds : 0.0,
            left);
    fflush(stderr);
}

void EndProgress()
{
    fprintf(stderr, "\r%70s\r", "");
}

// Every file a build reads, none of which its output may replace.
std::vector<std::string> FilesRead(const std::string& manifest, const std::string& stub, const PackageInputs& inputs)
{
    std::vector<std::string> files = inputs.inputPaths;
    files.push_back(manifest);
    files.push_back(stub);
    return files;
}

bool Compress(const std::string& manifest, const Bytes& stub, const PackageInputs& inputs, bool fast, bool shown,
              Bytes& setup)
{
    ProgressLine line("compressing");
    const EncodeProgress progress = {ShowProgress, &line};
    std::string error;
    const bool built =
        BuildSetup(stub, inputs, fast ? COMPRESS_FAST : COMPRESS_BEST, shown ? &progress : nullptr, setup, error);
    if (shown)
        EndProgress();
    if (!built)
        Complain(manifest + ": " + error);
    return built;
}

void ReportBuilt(const std::string& output, const PackageInputs& inputs, const Bytes& setup, Clock::time_point start,
                 const std::string& stubPath, const char* stubFound)
{
    const PackageTrailer t = ParseTrailer(setup.data() + setup.size() - TRAILER_SIZE);
    std::error_code ignored; // the output as written, a signature included
    const size_t written = (size_t)std::filesystem::file_size(std::filesystem::u8path(output), ignored);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double unpacked = (double)t.scriptSize + t.dataSize;
    char figures[256];
    snprintf(figures, sizeof figures,
             ": %zu files, %zu shortcuts, %zu registry values; %.0f bytes packed into %u (ratio %.2f), "
             "%zu bytes in all, in %.2f s",
             inputs.files.size() - 1, inputs.shortcuts.size(), inputs.registry.size(), unpacked, t.packedSize,
             unpacked / t.packedSize, written, seconds);
    Say(output + figures);
    Say("  on the setup program " + stubPath + " (" + stubFound + ")");
}

// The uninstaller built with the setup program, quninst.exe beside it.
std::string DefaultUninstallerPath(const std::string& stubPath)
{
    const size_t cut = stubPath.find_last_of("/\\");
    return (cut == std::string::npos ? std::string() : stubPath.substr(0, cut + 1)) + "quninst.exe";
}

// The uninstaller the product carries is a Windows program: the manifest's,
// else the one beside the setup program. Only a manifest that says the
// product has none goes without.
bool TakeUninstaller(const std::string& manifest, const std::string& stubPath, PackageInputs& inputs)
{
    Bytes& body = inputs.files[0].body;
    if (inputs.noUninstaller)
        return true;
    std::string path = manifest + ": product.uninstaller", reason;
    if (body.empty()) {
        path = DefaultUninstallerPath(stubPath);
        if (!ReadWholeFile(path, body, reason) || body.empty()) {
            Complain(manifest + ": names no uninstaller (product.uninstaller), and there is none beside the setup "
                                "program (" + path + "); name one, or say uninstaller = false for a product "
                                "without one");
            return false;
        }
    }
    reason = WindowsProgramRefusal(body);
    if (!reason.empty())
        Complain(path + ": refused as the uninstaller: " + reason);
    return reason.empty();
}

bool LoadInputs(const std::string& manifest, const std::string& stubPath, bool shown, PackageInputs& inputs,
                Bytes& stub)
{
    std::vector<std::string> errors;
    ProgressLine line("reading");
    const EncodeProgress progress = {ShowProgress, &line};
    const bool loaded = LoadManifest(manifest, inputs, errors, shown ? &progress : nullptr);
    if (shown)
        EndProgress();
    for (const std::string& note : inputs.notes)
        Complain(note);
    if (!loaded) {
        for (const std::string& e : errors)
            Complain(e);
        return false;
    }
    std::string reason;
    if (ReadWholeFile(stubPath, stub, reason))
        return true;
    Complain(stubPath + ": cannot read the setup program: " + reason);
    return false;
}

// The certificate and key of a signature, when the setup is to carry one.
struct Signing {
    std::string certificate, key;
};

// Signs the unsigned setup into signedSetup with osslsigncode, which puts the
// certificate table behind the trailer, where the setup program looks.
bool Sign(const Signing& s, const std::string& unsignedSetup, const std::string& signedSetup, const std::string& output)
{
    int exitCode = 0;
    if (!RunProgram({"osslsigncode", "sign", "-certs", s.certificate, "-key", s.key, "-in", unsignedSetup, "-out",
                     signedSetup},
                    exitCode)) {
        Complain(output + ": cannot sign: osslsigncode cannot be started; is it installed and on the PATH?");
        return false;
    }
    if (exitCode != 0) {
        Complain(output + ": cannot sign: osslsigncode failed");
        return false;
    }
    return true;
}

// Writes the setup, signed when asked. A signature is made beside the output
// and replaces it only when it succeeded: nothing stays behind a failure.
bool WriteSetup(const std::string& output, const Bytes& setup, const Signing& signing)
{
    const std::string target = signing.certificate.empty() ? output : output + ".unsigned";
    std::string reason;
    if (!WriteWholeFile(target, setup, reason)) {
        Complain(output + ": cannot write the setup program: " + reason);
        return false;
    }
    if (signing.certificate.empty())
        return true;
    const std::string signedSetup = output + ".signed";
    RemoveFile(signedSetup);
    bool done = Sign(signing, target, signedSetup, output);
    RemoveFile(target);
    if (done && !MoveOver(signedSetup, output)) {
        Complain(output + ": cannot write the setup program: the signed file cannot take its place");
        done = false;
    }
    if (!done)
        RemoveFile(signedSetup);
    return done;
}

// The setup a build has begun to write: an internal error that ends qpack
// takes it away again, so that no output stands for a build that failed.
std::string SetupBeingWritten;

// How to build, beside the manifest: the command line's switches.
struct BuildOptions {
    bool fast = false;
    bool quiet = false;
    bool lzma = false;
    bool strict = false; // a note refuses the build
};

// The progress lines go to a terminal only, and not with --quiet.
int Build(const std::string& manifest, const std::string& output, const std::string& stubPath,
          const char* stubFound, const BuildOptions& options, const Signing& signing)
{
    const Clock::time_point start = Clock::now();
    const bool shown = !options.quiet && IsTerminal(stderr);
    PackageInputs inputs;
    Bytes stub;
    if (!LoadInputs(manifest, stubPath, shown, inputs, stub))
        return EXIT_BAD_INPUT;
    if (options.strict && !inputs.notes.empty()) {
        Complain(manifest + ": refused with --strict: " + std::to_string(inputs.notes.size()) + " note(s) above");
        return EXIT_BAD_INPUT;
    }
    const std::string notSetup = SetupProgramRefusal(stub);
    if (!notSetup.empty()) {
        Complain(stubPath + ": refused as the setup program: " + notSetup);
        return EXIT_BAD_INPUT;
    }
    if (options.lzma)
        inputs.packVersion = PACK_VERSION_LZMA;
    const std::string refusal = OutputRefusal(output, FilesRead(manifest, stubPath, inputs));
    if (!refusal.empty()) {
        Complain(output + ": refused as the output: " + refusal);
        return EXIT_USAGE;
    }
    if (!TakeUninstaller(manifest, stubPath, inputs))
        return EXIT_BAD_INPUT;
    Bytes setup;
    if (!Compress(manifest, stub, inputs, options.fast, shown, setup))
        return EXIT_BAD_INPUT;
    SetupBeingWritten = output;
    if (!WriteSetup(output, setup, signing))
        return EXIT_BAD_INPUT;
    ReportBuilt(output, inputs, setup, start, stubPath, stubFound);
    SetupBeingWritten.clear();
    return EXIT_OK;
}

bool Open(const std::string& path, PackageContents& contents)
{
    std::string error;
    if (ReadPackageFile(path, contents, error))
        return true;
    Complain(path + ": " + error);
    return false;
}

int Inspect(const std::string& path, bool json)
{
    PackageContents contents;
    if (!Open(path, contents))
        return EXIT_BAD_INPUT;
    const Report report = DescribePackage(contents);
    fputs((json ? RenderJson(report) : RenderText(report)).c_str(), stdout);
    return contents.damage.empty() ? EXIT_OK : EXIT_BAD_INPUT;
}

int Extract(const std::string& path, const std::string& folder)
{
    PackageContents contents;
    if (!Open(path, contents))
        return EXIT_BAD_INPUT;
    std::vector<std::string> problems = contents.damage;
    const int written = ExtractPackage(contents, folder, problems);
    for (const std::string& p : problems)
        Complain(path + ": " + p);
    Say(path + ": " + std::to_string(written) + " items written to " + folder);
    return problems.empty() ? EXIT_OK : EXIT_BAD_INPUT;
}

// An empty path names no file; as extract's folder it would have the files
// written below the root.
const CLI::Validator NotEmpty(
    [](std::string& value) { return value.empty() ? std::string("must not be empty") : std::string(); }, "", "");

// A word left over where a command belongs, which is none of qpack's, or "".
std::string UnknownWord(const CLI::App& app, const CLI::ParseError& e)
{
    const std::vector<std::string> rest = app.remaining();
    return e.get_exit_code() == 0 || !app.get_subcommands().empty() || rest.empty() ? "" : rest[0];
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"qpack: builds QInstall setup programs, and inspects and unpacks them"};
    app.require_subcommand(1);
    // Paths begin with '/' on Linux, and may on Windows too: no option does.
    app.allow_windows_style_options(false);
    const DefaultSetupProgram standard = FindDefaultStub();
    std::string manifest, output, stub = standard.path, setup, folder;
    BuildOptions options;
    bool json = false;
    std::vector<std::string> sign;
    unsigned jobs = std::thread::hardware_concurrency();
    CLI::App* build = app.add_subcommand("build", "build a setup program from a manifest");
    build->add_option("manifest", manifest, "the product's manifest (TOML)")->required()->check(NotEmpty);
    build->add_option("-o,--output", output, "the setup program to write")->required()->check(NotEmpty);
    build->add_option("--stub", stub, "the setup program to append the package to")
        ->capture_default_str()
        ->check(NotEmpty);
    build->add_flag("--fast", options.fast, "compress faster, a little less well");
    build->add_flag("--lzma", options.lzma, "compress with LZMA: a smaller setup that unpacks more slowly");
    build->add_flag("--quiet", options.quiet, "no progress line on the terminal");
    build->add_flag("--strict", options.strict, "refuse a manifest qpack has notes on, as it refuses one with mistakes");
    build->add_option("--jobs", jobs, "threads of the best level's compression; the output is the same for any")
        ->capture_default_str()
        ->check(CLI::Range(1u, 256u));
    build->add_option("--sign", sign, "sign the setup program with osslsigncode: a certificate and its key (PEM)")
        ->expected(2);
    CLI::App* inspect = app.add_subcommand("inspect", "verify a setup program and print its package");
    inspect->add_option("setup", setup, "the setup program")->required()->check(NotEmpty);
    inspect->add_flag("--json", json, "print JSON");
    CLI::App* extract = app.add_subcommand("extract", "write the files, pictures and sound of a package");
    extract->add_option("setup", setup, "the setup program")->required()->check(NotEmpty);
    extract->add_option("folder", folder, "the folder to write into")->required()->check(NotEmpty);
    std::vector<std::string> arguments = ProgramArguments(argc, argv);
    std::vector<char*> pointers;
    for (std::string& a : arguments)
        pointers.push_back(&a[0]);
    PrepareConsole();
    try {
        app.parse((int)pointers.size(), pointers.data());
    } catch (const CLI::ParseError& e) {
        const std::string word = UnknownWord(app, e);
        if (word.empty())
            return app.exit(e) == 0 ? EXIT_OK : EXIT_USAGE;
        const char* kind = word[0] == '-' ? "option" : "command";
        Complain("qpack: unknown " + std::string(kind) + " '" + word +
                 "'; the commands are build, inspect and extract (see --help)");
        return EXIT_USAGE;
    }
    SetEncoderThreads(jobs);
    // What the library may throw (a bad index, memory running out) ends in
    // a message and exit code 1, never in an abort.
    try {
        if (build->parsed())
            return Build(manifest, output, stub, stub == standard.path ? standard.found : "named by --stub", options,
                         Signing{sign.empty() ? "" : sign[0], sign.empty() ? "" : sign[1]});
        if (inspect->parsed())
            return Inspect(setup, json);
        return Extract(setup, folder);
    } catch (const std::bad_alloc&) {
        Complain("qpack: out of memory");
    } catch (const std::exception& e) {
        Complain(std::string("qpack: internal error: ") + e.what());
    }
    if (!SetupBeingWritten.empty())
        RemoveFile(SetupBeingWritten);
    return EXIT_BAD_INPUT;
}
