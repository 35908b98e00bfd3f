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
