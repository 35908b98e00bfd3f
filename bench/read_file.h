// Reads a whole file for the benchmarks that measure a corpus.
#pragma once
#include "package/package_writer.h"
#include <stdio.h>

inline bool ReadFile(const char* path, Bytes& bytes)
{
    FILE* f = fopen(path, "rb");
    if (!f)
        return false;
    uint8_t buffer[1 << 16];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    const bool ok = !ferror(f);
    fclose(f);
    return ok;
}
