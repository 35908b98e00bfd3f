// The package's string table: every text the user sees, by slot number.
#pragma once
#include "byte_cursor.h"
#include "string_slots.h"

enum { STRING_SLOTS_READ = SLOT_PLACEHOLDER_61 }; // the program uses the slots before it

// Parses the table at the start of a script block into SetupStrings and
// returns the cursor placed at the first settings record. Entries that run
// past the block end the table; their slots and all later ones read as "".
ByteCursor ParseSetupStrings(uint8_t* script, size_t size);

// Text of a slot; "" for a slot the table does not hold and for every slot
// past those the program reads.
const char* SetupString(int slot);
