// The size texts of the wizard and the install, free of Windows.
#pragma once
#include <stdint.h>

enum { SIZE_TEXT_SIZE = 32 };

// "<n.n> KB." up to 1000 KB and "<n.n> MB." above, with one decimal rounded
// to nearest, halves up. Counts beyond 256 TiB show as 256 TiB.
void FormatSizeText(char* out, uint64_t bytes);

// The count in KB with two decimals, rounded the same way: "0.50" for 512.
void FormatKilobytes(char* out, uint32_t bytes);
