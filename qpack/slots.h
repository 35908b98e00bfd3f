// The package's string slots and sheet pictures by readable name, and the
// strings files that fill the slots: the built-in English defaults and the
// shipped translations.
#pragma once
#include "package/string_slots.h"
#include <string>

struct SlotName {
    StringSlot slot;
    const char* name;
};
extern const SlotName SlotNames[SLOT_COUNT];

// The manifest's names of the four sheet pictures, in sheet order.
extern const char* const SheetNames[4];

// The slot of a name, or -1.
int SlotByName(const std::string& name);

// The text of a shipped strings file ("en", "de"), or null for another name.
const char* ShippedStrings(const std::string& name);
// The names of the shipped strings files, quoted, for messages.
std::string ShippedLanguages();
