#include "load_package.h"
#include "unpack.h"
#include <string.h>
#include <windows.h>

LoadedPackage Package;

static uint8_t* MapPageFile(uint32_t size, HANDLE* mapping)
{
    *mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, size, NULL);
    if (!*mapping)
        return nullptr;
    void* view = MapViewOfFile(*mapping, FILE_MAP_WRITE, 0, 0, 0);
    if (!view) {
        CloseHandle(*mapping);
        *mapping = NULL;
    }
    return (uint8_t*)view;
}

static void Unmap(void* view, HANDLE mapping)
{
    if (view)
        UnmapViewOfFile(view);
    if (mapping)
        CloseHandle(mapping);
}

// Copies count bytes into a block of its own, followed by the mapping's 0 byte.
static int CopyBlock(uint8_t** block, void** mapping, const uint8_t* source, uint32_t count)
{
    if (*block)
        return 0;
    HANDLE handle;
    *block = MapPageFile(count + 1, &handle);
    if (!*block)
        return 0;
    *mapping = handle;
    memcpy(*block, source, count);
    return 1;
}

static void ReleaseBlock(uint8_t** block, void** mapping)
{
    Unmap(*block, *mapping);
    *block = nullptr;
    *mapping = nullptr;
}

// The unpack area is released as soon as its halves are copied: nothing reads it again.
static int UnpackHalves(LoadedPackage& p, const uint8_t* payload, const PackageTrailer& t)
{
    const uint32_t areaSize = UnpackAreaSize(t.scriptSize, t.dataSize);
    HANDLE areaMapping;
    uint8_t* area = MapPageFile(areaSize, &areaMapping);
    if (!area)
        return 0;
    int ok = UnpackPayload(payload, area, t.packedSize, areaSize) != 0 &&
             CopyBlock(&p.script, &p.scriptMapping, area, t.scriptSize);
    if (ok && !CopyBlock(&p.data, &p.dataMapping, area + t.scriptSize, t.dataSize)) {
        ReleaseBlock(&p.script, &p.scriptMapping);
        ok = 0;
    }
    Unmap(area, areaMapping);
    if (ok) {
        p.scriptSize = t.scriptSize;
        p.dataSize = t.dataSize;
    }
    return ok;
}

static int ReadTrailer(HANDLE file, uint32_t* fileSize, PackageTrailer* t)
{
    DWORD high = 0;
    *fileSize = GetFileSize(file, &high);
    if (high != 0 || *fileSize == INVALID_FILE_SIZE || *fileSize < TRAILER_SIZE)
        return 0;
    uint8_t bytes[TRAILER_SIZE];
    DWORD got = 0;
    if (SetFilePointer(file, (LONG)(*fileSize - TRAILER_SIZE), NULL, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
        !ReadFile(file, bytes, TRAILER_SIZE, &got, NULL) || got != TRAILER_SIZE)
        return 0;
    *t = ParseTrailer(bytes);
    return 1;
}

// The executable is mapped without a name, so that no other process's
// mapping can stand in for it.
static int ReadPackage(LoadedPackage& p, HANDLE file)
{
    uint32_t fileSize;
    PackageTrailer t;
    if (!ReadTrailer(file, &fileSize, &t) || !PayloadFitsFile(t, fileSize))
        return 0;
    HANDLE image = CreateFileMappingA(file, NULL, PAGE_READONLY, 0, 0, NULL);
    if (!image)
        return 0;
    const uint8_t* view = (const uint8_t*)MapViewOfFile(image, FILE_MAP_READ, 0, 0, 0);
    const int ok = view && UnpackHalves(p, view + t.payloadOffset, t);
    Unmap((void*)view, image);
    if (ok)
        p.settings = SettingsFromTrailer(t);
    return ok;
}

int LoadPackageFile(LoadedPackage& p, const char* path)
{
    if (p.data)
        return 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
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
    const DWORD n = GetModuleFileNameA(NULL, Package.setupPath, sizeof Package.setupPath);
    if (n == 0 || n >= sizeof Package.setupPath)
        return 0;
    return LoadPackageFile(Package, Package.setupPath);
}
