// Install throughput: two packages (1,000 files and 200 MB in ten folders;
// 2,141 small files in one folder) installed by the setup program, driven
// through its wizard, next to a plain copy of the same files by this process,
// turn about; and the setup's peak memory. Run under Wine:
//   install_bench.exe SETUP_PROGRAM
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

// From Install to the Finish step; the peak working set of the setup.
bool Install(const std::string& exe, const std::string& temp, DWORD* ms, size_t* peak)
{
    RunningProgram setup;
    if (!StartProgram(setup, exe, temp))
        return false;
    HWND question = WaitForWindow(setup, "#32770", TypicalTexts()[1].c_str(), 120000);
    if (!question || !PressButton(question, IDYES))
        return false;
    HWND wizard = WaitForWindow(setup, "#32770", "Slot 4", 120000);
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
    parts.data = DataBlock(p, SampleInstallData(p.files * (p.fileSize + 97), true), source, &parts.fileSectionLength);
    parts.flags = 0;
    parts.method.level = COMPRESS_FAST;
    Bytes exe = ReadFileBytes(setupProgram);
    if (exe.empty() || !AppendPackage(exe, parts))
        return 0;
    const std::string setup = work / "setup.exe";
    WriteFileBytes(setup, exe);
    exe.clear();
    parts.data.clear();

    DWORD installs[RUNS], copies[RUNS];
    size_t peak = 0;
    for (int run = 0; run < RUNS; run++) {
        ScratchFolder::Remove(Installed);
        ScratchFolder::Remove(copy);
        if (!Install(setup, temp, &installs[run], &peak))
            return 0;
        copies[run] = PlainCopy(p, source, copy);
        RemoveUninstallEntries(TypicalTexts()[3]);
    }
    ScratchFolder::Remove(Installed);
    const DWORD installMs = Median(installs), copyMs = Median(copies);
    const double mb = (double)p.files * p.fileSize / MB;
    printf("%s, %.0f MB, medians of %d\n", p.name, mb, RUNS);
    printf("  setup, Install to Finish: %6lu ms, %6.1f MB/s, peak working set %zu MB, %.2f ms a file\n", installMs,
           mb * 1000 / installMs, peak / MB, (double)installMs / p.files);
    printf("  plain copy by CopyFileA:  %6lu ms, %6.1f MB/s (setup takes %.2f times as long)\n", copyMs,
           mb * 1000 / copyMs, (double)installMs / copyMs);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: install_bench SETUP_PROGRAM\n");
        return 2;
    }
    for (const Product& p : Products) {
        ScratchFolder work("install-bench");
        if (!Measure(p, argv[1], work))
            return 1;
    }
    return 0;
}
