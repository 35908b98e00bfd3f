#include "log_format.h"
#include <string.h>

namespace {

// The title of every log: "list of installed components (do not edit)" in
// Czech, code page 1250, as the uninstaller expects it.
const char LogTitle[] = "Seznam nainstalovan\xFD" "ch soucasti (neupravovat)";
const char TitleEnding[] = " - Uninstall.";

// Bounded writing: what would pass the end marks the sink full and is dropped.
struct ByteSink {
    uint8_t* pos;
    uint8_t* end;
    int full;
};

uint8_t* Claim(ByteSink& s, size_t n)
{
    if (s.full || (size_t)(s.end - s.pos) < n) {
        s.full = 1;
        return nullptr;
    }
    uint8_t* p = s.pos;
    s.pos += n;
    return p;
}

void PutByte(ByteSink& s, uint8_t v)
{
    if (uint8_t* p = Claim(s, 1))
        *p = v;
}

void PutWord(ByteSink& s, uint16_t v)
{
    if (uint8_t* p = Claim(s, 2))
        StoreU16(p, v);
}

// A u16 length that counts the terminator, then the text and its terminator;
// the second part of a text may follow the first.
void PutCounted(ByteSink& s, const char* text, const char* more = "")
{
    const size_t a = strlen(text), b = strlen(more), n = a + b + 1;
    if (n > 0xFFFF) {
        s.full = 1;
        return;
    }
    PutWord(s, (uint16_t)n);
    if (uint8_t* p = Claim(s, n)) {
        memcpy(p, text, a);
        memcpy(p + a, more, b + 1);
    }
}

} // namespace

size_t BuildLogHeader(uint8_t* out, size_t capacity, const LogHeader& h)
{
    ByteSink s = {out, out + capacity, 0};
    uint8_t flags = h.restartMode == RESTART_REBOOT   ? LOG_ASKS_RESTART
                    : h.restartMode == RESTART_LOGOFF ? LOG_ASKS_LOGOFF
                                                      : 0;
    if (h.first.present)
        flags |= LOG_HAS_UNINSTALL_1;
    if (h.second.present)
        flags |= LOG_HAS_UNINSTALL_2 | (h.second.flags & LOG_UNINSTALL_2_FLAG);
    PutByte(s, flags);
    Claim(s, 6); // the count and H, filled below
    PutCounted(s, LogTitle);
    PutCounted(s, h.product, TitleEnding);
    PutCounted(s, h.question);
    PutCounted(s, h.success);
    PutCounted(s, h.partial);
    if (flags & (LOG_ASKS_RESTART | LOG_ASKS_LOGOFF))
        PutCounted(s, h.sessionQuestion);
    const UninstallCommand& a = h.first;
    PutCounted(s, a.present ? a.path : "");
    PutCounted(s, a.present ? a.arguments : "");
    PutByte(s, a.present ? a.flags : 0);
    PutCounted(s, a.present && (a.flags & 0x02) ? a.message : "");
    PutCounted(s, h.second.present ? h.second.path : "");
    PutCounted(s, h.second.present ? h.second.arguments : "");
    const size_t length = (size_t)(s.pos - out);
    if (s.full || length - LOG_HEADER_FIXED > LOG_HEADER_MAX)
        return 0;
    StoreU32(out + LOG_COUNT_OFFSET, 0);
    StoreU16(out + 5, (uint16_t)(length - LOG_HEADER_FIXED));
    return length;
}

size_t BuildLogRecord(uint8_t* out, const LogRecord& r)
{
    const size_t path = strlen(r.text) + 1;
    const size_t name = r.kind == LOG_REGISTRY ? strlen(r.valueName) + 1 : 0;
    if (path > LOG_PATH_MAX || name > LOG_VALUE_NAME_MAX)
        return 0;
    ByteSink s = {out, out + LOG_RECORD_MAX, 0};
    PutByte(s, r.kind);
    PutByte(s, r.flag);
    PutWord(s, (uint16_t)path);
    if (r.kind == LOG_REGISTRY) {
        PutWord(s, r.root);
        PutCounted(s, r.valueName);
    }
    if (uint8_t* p = Claim(s, path))
        memcpy(p, r.text, path);
    return (size_t)(s.pos - out);
}

static const char* TakeCounted(ByteCursor& c)
{
    return TakeText(c, TakeU16(c));
}

// The product's title, as the install wrote it into the window title.
static const char* WithoutTitleEnding(const char* title)
{
    const size_t n = strlen(title), ending = sizeof TitleEnding - 1;
    if (n >= ending && !strcmp(title + n - ending, TitleEnding))
        ((char*)title)[n - ending] = 0;
    return title;
}

int ReadLogHeader(uint8_t* log, size_t size, LogHeader& h, uint8_t* flags)
{
    ByteCursor fixed = CursorOver(log, size);
    *flags = TakeU8(fixed);
    TakeU32(fixed);
    const int16_t length = (int16_t)TakeU16(fixed);
    uint8_t* block = length < 0 ? nullptr : TakeBytes(fixed, (size_t)length);
    if (!block || fixed.overrun)
        return 0;
    ByteCursor c = CursorOver(block, (size_t)length);
    TakeCounted(c);
    h.product = WithoutTitleEnding(TakeCounted(c));
    h.question = TakeCounted(c);
    h.success = TakeCounted(c);
    h.partial = TakeCounted(c);
    h.restartMode = (*flags & LOG_ASKS_RESTART)  ? RESTART_REBOOT
                    : (*flags & LOG_ASKS_LOGOFF) ? RESTART_LOGOFF
                                                 : RESTART_NONE;
    h.sessionQuestion = h.restartMode ? TakeCounted(c) : "";
    h.first.present = *flags & LOG_HAS_UNINSTALL_1;
    h.first.path = TakeCounted(c);
    h.first.arguments = TakeCounted(c);
    h.first.flags = TakeU8(c);
    h.first.message = TakeCounted(c);
    h.second.present = (*flags & LOG_HAS_UNINSTALL_2) != 0;
    h.second.path = TakeCounted(c);
    h.second.arguments = TakeCounted(c);
    h.second.flags = *flags & LOG_UNINSTALL_2_FLAG;
    h.second.message = "";
    return !c.overrun;
}

int OpenLogBytes(uint8_t* log, size_t size, uint32_t* count, ByteCursor* records)
{
    ByteCursor c = CursorOver(log, size);
    TakeU8(c);
    *count = TakeU32(c);
    const int16_t header = (int16_t)TakeU16(c);
    if (header < 0 || !TakeBytes(c, (size_t)header) || c.overrun)
        return 0;
    *records = c;
    return 1;
}

int ReadLogRecord(ByteCursor& c, LogRecord& r)
{
    r.kind = TakeU8(c);
    r.flag = TakeU8(c);
    const uint16_t path = TakeU16(c);
    r.root = 0;
    r.valueName = "";
    if (r.kind == LOG_REGISTRY) {
        r.root = TakeU16(c);
        const uint16_t name = TakeU16(c);
        if (name > LOG_VALUE_NAME_MAX)
            return 0;
        r.valueName = TakeText(c, name);
    }
    if (path > LOG_PATH_MAX)
        return 0;
    r.text = TakeText(c, path);
    return !c.overrun;
}

int LogIsWhole(uint8_t* log, size_t size, uint32_t* count)
{
    LogHeader h;
    uint8_t flags;
    ByteCursor c;
    if (!ReadLogHeader(log, size, h, &flags) || !OpenLogBytes(log, size, count, &c) || *count == 0)
        return 0;
    LogRecord r;
    for (uint32_t i = 0; i < *count; i++)
        if (!ReadLogRecord(c, r))
            return 0;
    return Remaining(c) <= LOG_RECORD_MAX;
}
