#include "string_table.h"
#include <stdlib.h>

static const char** Slots;
static int SlotCount;

ByteCursor ParseSetupStrings(uint8_t* script, size_t size)
{
    ByteCursor c = CursorOver(script, size);
    const int16_t count = (int16_t)TakeU16(c);
    SlotCount = 0;
    if (count <= 0)
        return c;
    free(Slots);
    Slots = (const char**)malloc((size_t)count * sizeof *Slots);
    if (!Slots)
        return c;
    while (SlotCount < count) {
        const int16_t length = (int16_t)TakeU16(c);
        const char* text = length < 0 ? nullptr : TakeText(c, (size_t)length + 1);
        if (!text || c.overrun) {
            // A damaged table gives no trustworthy start for the settings.
            c.pos = c.end;
            break;
        }
        Slots[SlotCount++] = text;
    }
    return c;
}

const char* SetupString(int slot)
{
    return slot >= 0 && slot < SlotCount ? Slots[slot] : "";
}
