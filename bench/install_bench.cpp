// Install throughput: three packages (1,000 files and 200 MB in ten folders;
// 2,141 small files in one folder; 2,315 small files in folders of 100),
// each packed at the best level of both methods, installed by the setup
// program, driven through its wizard, next to a plain copy of the same files
// by this process, turn about; the setups' sizes, the time from the user's
// Yes to the wizard, which unpacking takes most of, and the setup's peak
// memory. Run under Wine:
//   install_bench.exe SETUP_PROGRAM [PRODUCT]
#include "driver/file_bytes.h"
#include "driver/scratch_folder.h"
#include "driver/typical_package.h"
#include "driver/window_driver.h"
#include "res/resource_ids.h"
#include "sample_data.h"
#include <algorithm>
#include <psapi.h>
#include <stdio.h>

namespace {

const size_t KB = 1 << 10, MB = 1 << 20;
enum { RUNS = 3 };
const char Installed[] = "C:\\Program files\\Slot 30\\";

// A product's files: how many, how large each, and how many to a folder.
struct Product {
    const char* name;
    int files;
    size_t fileSize;
    int perFolder;
};

// Large files in a few folders, and many small ones in one large folder,
// where every look for a name that is not there is a search of the folder.
const Product Products[] = {
    {"1,000 files of 200 KB in ten folders", 1000, 200 * KB, 100},
    {"2,141 files of 24 KB in one folder", 2141, 24 * KB, 2141},
    {"2,315 files of 16 KB in folders of 100", 2315, 16 * KB, 100},
};

std::string FileName(const Product& p, int i)
{
    return "dir" + std::to_string(i / p.perFolder) + "\\file" + std::to_string(i) + ".dat";
}

std::string FolderName(const Product& p, int i)
{
    return "dir" + std::to_string(i / p.perFolder);
}

// The files as a data block, and as files below source.
Bytes DataBlock(const Product& p, const Bytes& sample, const std::string& source, uint32_t* sectionLength)
{
    Bytes data;
    PutU16(data, (uint16_t)(p.files + 1));
    FileEntry uninstaller;
    uninstaller.relativeName = "\\uninstall.exe";
    PutFileRecord(data, uninstaller);
    for (int i = 0; i < p.files; i++) {
        FileEntry f;
        f.relativeName = "\\" + FileName(p, i);
        f.attributes = FILE_ATTRIBUTE_ARCHIVE;
        f.body.assign(sample.begin() + (ptrdiff_t)(i * 97), sample.begin() + (ptrdiff_t)(i * 97 + p.fileSize));
        PutFileRecord(data, f);
        CreateDirectoryA((source + FolderName(p, i)).c_str(), NULL);
        WriteFileBytes(source + FileName(p, i), f.body);
    }
    *sectionLength = (uint32_t)data.size();
    PutU16(data, 0);
    PutU16(data, 0);
    return data;
}

DWORD PlainCopy(const Product& p, const std::string& source, const std::string& target)
{
    const DWORD start = GetTickCount();
    CreateDirectoryA(target.c_str(), NULL);
    for (int i = 0; i < p.files; i++) {
        CreateDirectoryA((target + FolderName(p, i)).c_str(), NULL);
        CopyFileA((source + FileName(p, i)).c_str(), (target + FileName(p, i)).c_str(), FALSE);
    }
    return GetTickCount() - start;
}

// The steps the setup takes for each new file in a folder it made, done
// here from memory over the same files, and the time each of them takes in
// all: the file written whole, with its attributes, in the staging folder
// beside its target, the log's record and count, and the rename to the
// target's name.
enum Step {
    STEP_CREATE,
    STEP_WRITE,
    STEP_TIME,
    STEP_CLOSE,
    STEP_LOG,
    STEP_RENAME,
    STEPS
};
const char* const StepNames[STEPS] = {"CreateFileA (staged)", "WriteFile", "SetFileTime", "CloseHandle",
                                      "log record, count", "MoveFileExA"};

struct StepTimes {
    double ms[STEPS];
};

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER frequency)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)(now.QuadPart - from.QuadPart) * 1000 / (double)frequency.QuadPart;
}

StepTimes WriteFromMemory(const Product& p, const Bytes& sample, const std::string& target)
{
    StepTimes t = {};
    LARGE_INTEGER frequency, at;
    QueryPerformanceFrequency(&frequency);
    const FILETIME when = {0x12345678, 0x01D00000};
    CreateDirectoryA(target.c_str(), NULL);
    HANDLE log = CreateFileA((target + "QXUn001.uqx").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, NULL);
    const Bytes record(4 + target.size() + 24, 'r');
    DWORD logEnd = 0;
    for (int i = 0; i < p.files; i++) {
        const std::string folder = target + FolderName(p, i) + "\\", staged = folder + "~q001\\new";
        if (i % p.perFolder == 0) {
            CreateDirectoryA(folder.c_str(), NULL);
            CreateDirectoryA((folder + "~q001").c_str(), NULL);
        }
        const std::string path = target + FileName(p, i);
        QueryPerformanceCounter(&at);
        HANDLE file = CreateFileA(staged.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_ARCHIVE, NULL);
        t.ms[STEP_CREATE] += Milliseconds(at, frequency);
        QueryPerformanceCounter(&at);
        DWORD written = 0;
        WriteFile(file, sample.data() + i * 97, (DWORD)p.fileSize, &written, NULL);
        t.ms[STEP_WRITE] += Milliseconds(at, frequency);
        QueryPerformanceCounter(&at);
        SetFileTime(file, &when, NULL, &when);
        t.ms[STEP_TIME] += Milliseconds(at, frequency);
        QueryPerformanceCounter(&at);
        CloseHandle(file);
        t.ms[STEP_CLOSE] += Milliseconds(at, frequency);
        QueryPerformanceCounter(&at);
        SetFilePointer(log, (LONG)logEnd, NULL, FILE_BEGIN);
        WriteFile(log, record.data(), (DWORD)record.size(), &written, NULL);
        SetFilePointer(log, 1, NULL, FILE_BEGIN);
        WriteFile(log, &i, 4, &written, NULL);
        logEnd += (DWORD)record.size();
        t.ms[STEP_LOG] += Milliseconds(at, frequency);
        QueryPerformanceCounter(&at);
        MoveFileExA(staged.c_str(), path.c_str(), 0);
        t.ms[STEP_RENAME] += Milliseconds(at, frequency);
    }
    CloseHandle(log);
    return t;
}

// A product packed one way, and its figures.
struct Packed {
    const char* method;
    std::string path;
    size_t bytes;
    DWORD installs[RUNS];
    DWORD starts[RUNS];
    size_t peak;
};

// From the user's Yes to the wizard, and from Install to the Finish step; the
// peak working set of the setup.
bool Install(const std::string& exe, const std::string& temp, DWORD* startMs, DWORD* ms, size_t* peak)
{
    RunningProgram setup;
    if (!StartProgram(setup, exe, temp))
        return false;
    HWND question = WaitForWindow(setup, "#32770", TypicalTexts()[1].c_str(), 120000);
    if (!question)
        return false;
    const DWORD yes = GetTickCount();
    if (!PressButton(question, IDYES))
        return false;
    HWND wizard = WaitForWindow(setup, "#32770", "Slot 4", 120000);
    *startMs = GetTickCount() - yes;
    if (!wizard)
        return false;
    for (int i = 0; i < 3; i++)
        PressButton(wizard, IDC_NEXT);
    const DWORD start = GetTickCount();
    PressButtonLater(wizard, IDC_NEXT);
    HWND finish = WaitForWindow(setup, "#32770", "Slot 7", 600000);
    *ms = GetTickCount() - start;
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(setup.process, &counters, sizeof counters);
    *peak = counters.PeakWorkingSetSize;
    PressButton(wizard, IDC_NEXT);
    WaitForExit(setup);
    return finish != NULL;
}

// The setup program with the package packed by the method at its best level.
bool WriteSetup(PackageParts& parts, uint8_t version, const char* setupProgram, Packed& out)
{
    Bytes exe = ReadFileBytes(setupProgram);
    parts.method.version = version;
    if (exe.empty() || !AppendPackage(exe, parts))
        return false;
    out.bytes = exe.size();
    WriteFileBytes(out.path, exe);
    return true;
}

DWORD Median(DWORD* times)
{
    std::sort(times, times + RUNS);
    return times[RUNS / 2];
}

// The product installed and copied RUNS times, turn about, each into an
// empty folder; 0 when the setup cannot be made or fails.
int Measure(const Product& p, const char* setupProgram, const ScratchFolder& work)
{
    const std::string temp = work / "temp\\", source = work / "source\\", copy = work / "copy\\";
    CreateDirectoryA(temp.c_str(), NULL);
    CreateDirectoryA(source.c_str(), NULL);
    PackageParts parts;
    parts.script = PlainScript(TypicalTexts());
    const Bytes sample = SampleInstallData(p.files * (p.fileSize + 97), true);
    parts.data = DataBlock(p, sample, source, &parts.fileSectionLength);
    parts.flags = 0;
    Packed packed[] = {{"lz77", work / "lz77.exe", 0, {}, {}, 0}, {"lzma", work / "lzma.exe", 0, {}, {}, 0}};
    parts.method.stream = ChooseStreamParameters(parts.data.data(), parts.data.size(), COMPRESS_BEST);
    if (!WriteSetup(parts, PACK_VERSION, setupProgram, packed[0]) ||
        !WriteSetup(parts, PACK_VERSION_LZMA, setupProgram, packed[1]))
        return 0;
    parts.data.clear();

    DWORD copies[RUNS];
    StepTimes steps[RUNS];
    for (int run = 0; run < RUNS; run++) {
        for (Packed& setup : packed) {
            ScratchFolder::Remove(Installed);
            if (!Install(setup.path, temp, &setup.starts[run], &setup.installs[run], &setup.peak))
                return 0;
            RemoveUninstallEntries(TypicalTexts()[3]);
        }
        ScratchFolder::Remove(copy);
        copies[run] = PlainCopy(p, source, copy);
        ScratchFolder::Remove(copy);
        steps[run] = WriteFromMemory(p, sample, copy);
        ScratchFolder::Remove(copy);
    }
    ScratchFolder::Remove(Installed);
    const DWORD copyMs = Median(copies);
    const double mb = (double)p.files * p.fileSize / MB;
    printf("%s, %.0f MB, medians of %d\n", p.name, mb, RUNS);
    printf("  plain copy by CopyFileA: %6lu ms, %6.1f MB/s\n", copyMs, mb * 1000 / copyMs);
    double loop = 0;
    for (int step = 0; step < STEPS; step++) {
        double ms[RUNS];
        for (int run = 0; run < RUNS; run++)
            ms[run] = steps[run].ms[step];
        std::sort(ms, ms + RUNS);
        loop += ms[RUNS / 2];
        printf("    %-20s %7.3f ms a file\n", StepNames[step], ms[RUNS / 2] / p.files);
    }
    printf("  the setup's steps for each file, from memory: %.0f ms, %.2f times the copy\n", loop, loop / copyMs);
    for (Packed& setup : packed) {
        const DWORD installMs = Median(setup.installs);
        printf("  %s setup: %.1f MB; Yes to wizard %lu ms; Install to Finish %lu ms, %.2f times the copy, "
               "%.2f ms a file; peak working set %zu MB\n",
               setup.method, (double)setup.bytes / MB, Median(setup.starts), installMs, (double)installMs / copyMs,
               (double)installMs / p.files, setup.peak / MB);
    }
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: install_bench SETUP_PROGRAM [PRODUCT]\n");
        return 2;
    }
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    SetEncoderThreads(system.dwNumberOfProcessors);
    // One product alone when its number (1 to 3) follows.
    const int only = argc > 2 ? atoi(argv[2]) : 0;
    for (const Product& p : Products) {
        ScratchFolder work("install-bench");
        if ((!only || &p == Products + only - 1) && !Measure(p, argv[1], work))
            return 1;
    }
    return 0;
}
