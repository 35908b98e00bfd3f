// Install throughput: a package of 1,000 files and 200 MB in ten folders is
// installed by the setup program, driven through its wizard, next to a plain
// copy of the same files by this process in the same run; and the setup's
// peak memory. Run under Wine:
//   install_bench.exe SETUP_PROGRAM
#include "driver/file_bytes.h"
#include "driver/scratch_folder.h"
#include "driver/typical_package.h"
#include "driver/window_driver.h"
#include "res/resource_ids.h"
#include "sample_data.h"
#include <psapi.h>
#include <stdio.h>

namespace {

const size_t MB = 1 << 20;
const int FileCount = 1000;
const size_t FileSize = 200 * MB / FileCount;
const char Installed[] = "C:\\Program files\\Slot 30\\";

std::string FileName(int i)
{
    return "dir" + std::to_string(i / 100) + "\\file" + std::to_string(i) + ".dat";
}

// The files as a data block, and as files below source.
Bytes DataBlock(const Bytes& sample, const std::string& source, uint32_t* sectionLength)
{
    Bytes data;
    PutU16(data, FileCount + 1);
    FileEntry uninstaller;
    uninstaller.relativeName = "\\uninstall.exe";
    PutFileRecord(data, uninstaller);
    for (int i = 0; i < FileCount; i++) {
        FileEntry f;
        f.relativeName = "\\" + FileName(i);
        f.attributes = FILE_ATTRIBUTE_ARCHIVE;
        f.body.assign(sample.begin() + (ptrdiff_t)(i * 97), sample.begin() + (ptrdiff_t)(i * 97 + FileSize));
        PutFileRecord(data, f);
        CreateDirectoryA((source + FileName(i).substr(0, FileName(i).find('\\'))).c_str(), NULL);
        WriteFileBytes(source + FileName(i), f.body);
    }
    *sectionLength = (uint32_t)data.size();
    PutU16(data, 0);
    PutU16(data, 0);
    return data;
}

DWORD PlainCopy(const std::string& source, const std::string& target)
{
    const DWORD start = GetTickCount();
    CreateDirectoryA(target.c_str(), NULL);
    for (int i = 0; i < FileCount; i++) {
        CreateDirectoryA((target + FileName(i).substr(0, FileName(i).find('\\'))).c_str(), NULL);
        CopyFileA((source + FileName(i)).c_str(), (target + FileName(i)).c_str(), FALSE);
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

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: install_bench SETUP_PROGRAM\n");
        return 2;
    }
    ScratchFolder work("install-bench");
    const std::string temp = work / "temp\\", source = work / "source\\";
    CreateDirectoryA(temp.c_str(), NULL);
    CreateDirectoryA(source.c_str(), NULL);
    ScratchFolder::Remove(Installed);
    PackageParts parts;
    parts.script = PlainScript(TypicalTexts());
    parts.data = DataBlock(SampleInstallData(200 * MB + FileCount * 97, true), source, &parts.fileSectionLength);
    parts.flags = 0;
    parts.level = COMPRESS_FAST;
    Bytes exe = ReadFileBytes(argv[1]);
    if (exe.empty() || !AppendPackage(exe, parts))
        return 1;
    const std::string setup = work / "setup.exe";
    WriteFileBytes(setup, exe);
    exe.clear();
    parts.data.clear();

    DWORD installMs = 0;
    size_t peak = 0;
    if (!Install(setup, temp, &installMs, &peak))
        return 1;
    const DWORD copyMs = PlainCopy(source, work / "copy\\");
    ScratchFolder::Remove(Installed);
    RemoveUninstallEntries(TypicalTexts()[3]);
    const double mb = (double)FileCount * FileSize / MB;
    printf("%d files, %.0f MB\n", FileCount, mb);
    printf("setup, Install to Finish: %6lu ms, %6.1f MB/s, peak working set %zu MB\n", installMs, mb * 1000 / installMs,
           peak / MB);
    printf("plain copy by CopyFileA:  %6lu ms, %6.1f MB/s (setup takes %.2f times as long)\n", copyMs,
           mb * 1000 / copyMs, (double)installMs / copyMs);
    return 0;
}
