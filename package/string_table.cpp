#include "string_table.h"

// The whole table is walked, since the settings follow it, but only the
// slots the program reads are kept.
static const char* Slots[STRING_SLOTS_READ];
static int SlotCount;

ByteCursor ParseSetupStrings(uint8_t* script, size_t size)
{
    ByteCursor c = CursorOver(script, size);
    const int16_t count = (int16_t)TakeU16(c);
    SlotCount = 0;
    for (int16_t i = 0; i < count; i++) {
        const int16_t length = (int16_t)TakeU16(c);
        const char* text = length < 0 ? nullptr : TakeText(c, (size_t)length + 1);
        if (!text || c.overrun) {
            // A damaged table gives no trustworthy start for the settings.
            c.pos = c.end;
            break;
        }
        if (i < STRING_SLOTS_READ)
            Slots[SlotCount++] = text;
    }
    return c;
}

const char* SetupString(int slot)
{
    return slot >= 0 && slot < SlotCount ? Slots[slot] : "";
}
