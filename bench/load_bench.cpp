// Peak memory and time from start to the question of setup programs with
// large packages: 320 MB of incompressible and of compressible data, and
// 50 MB next to a program that only shows a message box. Run under Wine:
//   load_bench.exe SETUP_PROGRAM [OTHER_SETUP_PROGRAM]
// with the setup program(s) to append the packages to (e.g. this build's
// and an earlier one's, to compare them in the same run).
#include "driver/file_bytes.h"
#include "driver/scratch_folder.h"
#include "driver/typical_package.h"
#include "driver/window_driver.h"
#include "sample_data.h"
#include <algorithm>
#include <psapi.h>
#include <stdio.h>

namespace {

const size_t MB = 1 << 20;

Bytes Incompressible(size_t size)
{
    Bytes out(size);
    uint64_t state = 0x9E3779B97F4A7C15u;
    for (size_t i = 0; i + 8 <= size; i += 8) {
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        memcpy(&out[i], &state, 8);
    }
    return out;
}

struct Package {
    const char* name;
    Bytes payload;
    PackageTrailer trailer;
};

Package Packed(const char* name, const Bytes& data)
{
    PackageParts parts;
    parts.script = TypicalScript();
    parts.data = data;
    parts.method.level = COMPRESS_FAST;
    Bytes image;
    AppendPackage(image, parts);
    const PackageTrailer trailer = ParseTrailer(&image[image.size() - TRAILER_SIZE]);
    // The payload alone, without the zeros that align the package as a whole.
    return Package{name, Bytes(image.begin() + trailer.payloadOffset, image.end() - TRAILER_SIZE), trailer};
}

// The stub with the package behind it, written to path.
bool WriteSetup(const std::string& path, const Bytes& stub, const Package& p)
{
    PackageTrailer t = p.trailer;
    t.payloadOffset = (uint32_t)stub.size();
    uint8_t trailer[TRAILER_SIZE];
    WriteTrailer(t, trailer);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written;
    const bool ok = file != INVALID_HANDLE_VALUE && WriteFile(file, stub.data(), (DWORD)stub.size(), &written, NULL) &&
                    WriteFile(file, p.payload.data(), (DWORD)p.payload.size(), &written, NULL) &&
                    WriteFile(file, trailer, TRAILER_SIZE, &written, NULL);
    CloseHandle(file);
    return ok;
}

struct Figures {
    DWORD ms;
    size_t peakPrivate, peakWorkingSet;
};

// Starts the program, waits for its question and reads its memory while it asks.
bool Measure(const std::string& exe, const std::string& temp, Figures& f)
{
    RunningProgram program;
    const DWORD start = GetTickCount();
    if (!StartProgram(program, exe, temp))
        return false;
    HWND question = WaitForWindow(program, "#32770", "Demo Setup", 120000);
    f.ms = GetTickCount() - start;
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(program.process, (PROCESS_MEMORY_COUNTERS*)&counters, sizeof counters);
    f.peakPrivate = counters.PeakPagefileUsage;
    f.peakWorkingSet = counters.PeakWorkingSetSize;
    if (question)
        PressButton(question, IDNO);
    WaitForExit(program);
    return question != NULL;
}

void Report(const char* what, const std::string& exe, const std::string& temp)
{
    std::vector<Figures> runs;
    for (int run = 0; run < 3; run++) {
        Figures f;
        if (!Measure(exe, temp, f)) {
            printf("%-44s no question\n", what);
            return;
        }
        runs.push_back(f);
    }
    std::sort(runs.begin(), runs.end(), [](const Figures& a, const Figures& b) { return a.ms < b.ms; });
    printf("%-44s %6lu ms to the question, peak private %5zu MB, peak working set %5zu MB\n", what, runs[1].ms,
           runs[1].peakPrivate / MB, runs[1].peakWorkingSet / MB);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: load_bench SETUP_PROGRAM [OTHER_SETUP_PROGRAM]\n");
        return 2;
    }
    ScratchFolder work("load-bench");
    const std::string temp = work / "temp\\";
    CreateDirectoryA(temp.c_str(), NULL);
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, MAX_PATH);
    std::string messageBoxOnly = self;
    messageBoxOnly.replace(messageBoxOnly.rfind('\\') + 1, std::string::npos, "message_box_only.exe");
    Report("message box only", messageBoxOnly, temp);

    const Package packages[] = {Packed("50 MB compressible", SampleInstallData(50 * MB, false)),
                                Packed("320 MB compressible", SampleInstallData(320 * MB, false)),
                                Packed("320 MB incompressible", Incompressible(320 * MB))};
    for (int i = 1; i < argc; i++) {
        const Bytes stub = ReadFileBytes(argv[i]);
        printf("%s (%zu bytes)\n", argv[i], stub.size());
        for (const Package& p : packages) {
            const std::string exe = work / "setup.exe";
            if (!WriteSetup(exe, stub, p))
                return 1;
            Report(("  " + std::string(p.name) + ", packed " + std::to_string(p.payload.size() / MB) + " MB").c_str(),
                   exe, temp);
            DeleteFileA(exe.c_str());
        }
    }
    return 0;
}
