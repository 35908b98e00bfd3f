#include "trailer.h"
#include "byte_cursor.h"
#include "unpack.h"

PackageTrailer ParseTrailer(const uint8_t bytes[TRAILER_SIZE])
{
    PackageTrailer t;
    t.flags = bytes[0];
    t.fileSectionLength = LoadU32(bytes + 1);
    t.spaceRequired = LoadU32(bytes + 5);
    t.packedSize = LoadU32(bytes + 9);
    t.scriptSize = LoadU32(bytes + 13);
    t.reserved = LoadU32(bytes + 17);
    t.dataSize = LoadU32(bytes + 21);
    t.payloadOffset = LoadU32(bytes + 25);
    return t;
}

void WriteTrailer(const PackageTrailer& t, uint8_t bytes[TRAILER_SIZE])
{
    bytes[0] = t.flags;
    StoreU32(bytes + 1, t.fileSectionLength);
    StoreU32(bytes + 5, t.spaceRequired);
    StoreU32(bytes + 9, t.packedSize);
    StoreU32(bytes + 13, t.scriptSize);
    StoreU32(bytes + 17, t.reserved);
    StoreU32(bytes + 21, t.dataSize);
    StoreU32(bytes + 25, t.payloadOffset);
}

TrailerSettings SettingsFromTrailer(const PackageTrailer& t)
{
    TrailerSettings s = {t.fileSectionLength, t.spaceRequired, 0, RESTART_NONE, RESTART_NONE};
    if (t.flags & TRAILER_LOGOFF)
        s.RestartMode = RESTART_LOGOFF;
    if (t.flags & TRAILER_RESTART)
        s.RestartMode = RESTART_REBOOT;
    if (t.flags & TRAILER_UNINSTALL_LOGOFF)
        s.UninstallRestartMode = RESTART_LOGOFF;
    if (t.flags & TRAILER_UNINSTALL_RESTART)
        s.UninstallRestartMode = RESTART_REBOOT;
    s.GroupStepEnabled = (t.flags & TRAILER_GROUP_STEP) ? 1 : 0;
    return s;
}

int PayloadFitsFile(const PackageTrailer& t, uint32_t fileSize)
{
    if (t.payloadOffset == 0 || t.packedSize < PACK_HEADER_SIZE || fileSize < TRAILER_SIZE)
        return 0;
    return (uint64_t)t.payloadOffset + t.packedSize <= (uint64_t)fileSize - TRAILER_SIZE;
}

uint32_t PackageEnd(const uint8_t* file, uint32_t size)
{
    // The PE header's place, its optional header's kind, and there the count
    // of data directories and the fifth, the certificate table's file offset
    // and length; all of them inside the first 192 bytes from the PE header.
    if (size < 256)
        return size;
    const uint32_t pe = LoadU32(file + 60);
    if (pe > size - 192 || LoadU32(file + pe) != 0x4550)
        return size;
    const uint8_t* optional = file + pe + 24;
    const uint32_t wide = LoadU16(optional) == 0x20B ? 16 : 0;
    if (LoadU32(optional + wide + 92) < 5)
        return size;
    const uint32_t offset = LoadU32(optional + wide + 128), length = LoadU32(optional + wide + 132);
    return length && offset <= size && length == size - offset ? offset : size;
}
