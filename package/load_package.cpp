#include "load_package.h"
#include "base/paths.h"
#include "package_blocks.h"
#include "shared.h"
#include <windows.h>

LoadedPackage Package;

static void Unmap(const void* view, HANDLE mapping)
{
    if (view)
        UnmapViewOfFile(view);
    if (mapping)
        CloseHandle(mapping);
}

// The blocks' area is committed private memory: it starts zero-filled, which
// the payload's matches and the blocks' terminators rely on, and its fresh
// pages are far cheaper to touch than those of a page-file section.
static uint8_t* AllocateArea(uint32_t size)
{
    return size ? (uint8_t*)VirtualAlloc(NULL, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE) : nullptr;
}

// The sizes are checked against the header before the area is allocated, so
// a trailer that claims gigabytes over a small payload costs nothing.
static int UnpackIntoBlocks(LoadedPackage& p, const uint8_t* payload, const PackageTrailer& t)
{
    if (!PayloadSizesAgree(t, ParsePackHeader(payload)))
        return 0;
    uint8_t* area = AllocateArea(BlockAreaSize(t));
    if (!area)
        return 0;
    if (!UnpackBlocks(payload, t, area)) {
        VirtualFree(area, 0, MEM_RELEASE);
        return 0;
    }
    p.script = ScriptBlockIn(area);
    p.scriptSize = t.scriptSize;
    p.data = DataBlockIn(area, t);
    p.dataSize = t.dataSize;
    return 1;
}

// The executable is mapped without a name, so that no other process's
// mapping can stand in for it, and unmapped as soon as it is unpacked. The
// trailer ends the file, or stands right before a signature's certificates.
static int ReadPackage(LoadedPackage& p, HANDLE file)
{
    DWORD high = 0;
    const uint32_t fileSize = GetFileSize(file, &high);
    if (high != 0 || fileSize == INVALID_FILE_SIZE || fileSize < TRAILER_SIZE)
        return 0;
    HANDLE image = CreateFileMappingA(file, NULL, PAGE_READONLY, 0, 0, NULL);
    if (!image)
        return 0;
    const uint8_t* view = (const uint8_t*)MapViewOfFile(image, FILE_MAP_READ, 0, 0, 0);
    int ok = 0;
    if (view) {
        const uint32_t end = PackageEnd(view, fileSize);
        const PackageTrailer t = ParseTrailer(view + (end < TRAILER_SIZE ? 0 : end - TRAILER_SIZE));
        ok = end >= TRAILER_SIZE && PayloadFitsFile(t, end) && UnpackIntoBlocks(p, view + t.payloadOffset, t);
        if (ok)
            p.settings = SettingsFromTrailer(t);
    }
    Unmap(view, image);
    return ok;
}

int LoadPackageFile(LoadedPackage& p, const wchar_t* path)
{
    if (p.data)
        return 0;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    const int ok = ReadPackage(p, file);
    CloseHandle(file);
    return ok;
}

int LoadPackage()
{
    if (Package.data)
        return 0;
    wchar_t path[PATH_SIZE];
    const DWORD n = GetModuleFileNameW(NULL, path, PATH_SIZE);
    if (n == 0 || n >= PATH_SIZE)
        return 0;
    return LoadPackageFile(Package, path);
}
