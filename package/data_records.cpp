#include "data_records.h"
#include "base/paths.h"
#include <string.h>

void UseLeadBytesOf(uint16_t codePage)
{
    static const unsigned char ShiftJis[] = {0x81, 0x9F, 0xE0, 0xFC};
    static const unsigned char Wide[] = {0x81, 0xFE}; // GBK, Unified Hangul, Big5
    static const unsigned char None[] = {0, 0};
    if (codePage == 932)
        UseLeadByteRanges(ShiftJis, sizeof ShiftJis);
    else if (codePage == 936 || codePage == 949 || codePage == 950)
        UseLeadByteRanges(Wide, sizeof Wide);
    else
        UseLeadByteRanges(None, sizeof None);
}

int ReadSectionCount(ByteCursor& c)
{
    const int16_t count = (int16_t)TakeU16(c);
    return c.overrun || count < 0 ? -1 : count;
}

// A text with a u16 length that counts its terminator.
static const char* TakeCounted(ByteCursor& c)
{
    return TakeText(c, TakeU16(c));
}

// A text that ends at its first 0 byte, which must lie inside the block.
static const char* TakeZeroTerminated(ByteCursor& c)
{
    const void* zero = c.overrun ? nullptr : memchr(c.pos, 0, Remaining(c));
    if (!zero) {
        TakeBytes(c, Remaining(c) + 1);
        return "";
    }
    return (const char*)TakeBytes(c, (size_t)((const uint8_t*)zero - c.pos) + 1);
}

static uint64_t TakeU64(ByteCursor& c)
{
    const uint64_t low = TakeU32(c);
    return low | (uint64_t)TakeU32(c) << 32;
}

static bool IsFolderCode(int code)
{
    return code >= 0 && code <= 2;
}

// One leading backslash aside, the parts between backslashes; walked by
// character, as a double-byte character's second byte may be 0x5C.
static bool StaysInsideItsFolder(const char* name)
{
    int dotsAlone = 1; // the part so far is empty or dots alone
    for (const char* p = name + (*name == '\\');; p = NextChar(p)) {
        if (*p == '/' || *p == ':')
            return false;
        if (*p && *p != '\\') {
            dotsAlone &= *p == '.';
            continue;
        }
        if (dotsAlone)
            return false;
        if (!*p)
            return true;
        dotsAlone = 1;
    }
}

int ReadFileRecordBytes(ByteCursor& c, FileRecord& r)
{
    r = FileRecord{};
    r.kind = TakeU8(c);
    r.root = (int16_t)TakeU16(c);
    r.relativeName = TakeZeroTerminated(c);
    if (IsReference(r)) {
        const uint16_t length = TakeU16(c);
        const uint8_t* name = TakeBytes(c, (size_t)length + 1);
        if (!name || name[length] != 0 || memchr(name, 0, length))
            return 0;
        r.sourceName = (const char*)name;
    } else {
        r.attributes = TakeU32(c);
        r.created = TakeU64(c);
        r.modified = TakeU64(c);
        r.size = TakeU32(c);
        r.body = TakeBytes(c, r.size);
    }
    return !c.overrun && IsFolderCode(r.root) && StaysInsideItsFolder(r.relativeName);
}

int ReadShortcutRecordBytes(ByteCursor& c, ShortcutRecord& r)
{
    r.targetFolder = (int16_t)TakeU16(c);
    r.target = TakeCounted(c);
    r.arguments = TakeCounted(c);
    r.iconFolder = (int16_t)TakeU16(c);
    r.icon = TakeCounted(c);
    r.iconIndex = (int16_t)TakeU16(c);
    r.linkFolder = (int16_t)TakeU16(c);
    r.linkName = TakeCounted(c);
    const bool iconOk = !HasIcon(r) || IsFolderCode(r.iconFolder);
    return !c.overrun && IsFolderCode(r.targetFolder) && iconOk && r.linkFolder >= LINK_GROUP &&
           r.linkFolder <= LINK_START_MENU;
}

int ReadRegistryRecordBytes(ByteCursor& c, RegistryRecord& r)
{
    r = RegistryRecord{};
    r.root = TakeU8(c);
    r.kind = TakeU8(c);
    if (r.kind == VALUE_NUMBER) {
        r.number = TakeU32(c);
        r.length = 4;
    } else {
        r.length = TakeU16(c);
        r.data = TakeBytes(c, r.length);
    }
    r.key = TakeCounted(c);
    r.valueName = TakeCounted(c);
    r.flags = TakeU8(c);
    r.message = (r.flags & REGISTRY_STOP_ON_FAILURE) ? TakeCounted(c) : "";
    return !c.overrun;
}
