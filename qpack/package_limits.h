// How large a package qpack builds, and so how large a one it will read.
#pragma once
#include "package/unpack.h"
#include <stddef.h>

// The setup program maps its file and holds the unpacked blocks in a 32-bit
// address space; beyond this much unpacked data that would not fit.
constexpr size_t UNPACKED_LIMIT = 512u << 20;

// The longest payload such a package needs: its header and a stream of
// nothing but literals, one flag word for each 32 of them. A longer one would
// be wasted bytes, read for nothing.
constexpr size_t PACKED_LIMIT = PACK_HEADER_SIZE + UNPACKED_LIMIT / 32 * 36;
