// Reflected CRC-32 (polynomial 0xEDB88320, the zlib one) with the program's own tables.
#pragma once
#include <stdint.h>
#include <stddef.h>

// Continues a running CRC: pass 0 for the first piece, then the previous
// result. Folds by carry-less multiplication where the processor has it.
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);

// The same by the table alone, as on processors without that multiplication.
uint32_t Crc32WithTable(const uint8_t* data, size_t size, uint32_t crc = 0);
