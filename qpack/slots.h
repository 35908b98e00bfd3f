// The package's string slots by readable name, and the strings files that
// fill them: the built-in English defaults and the shipped translations.
#pragma once
#include <string>

enum { SLOT_COUNT = 63 };

extern const char* const SlotNames[SLOT_COUNT];

// The slot of a name, or -1.
int SlotByName(const std::string& name);

// The text of a shipped strings file ("en", "de"), or null for another name.
const char* ShippedStrings(const std::string& name);
