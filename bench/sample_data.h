// Bytes like those of installed files, the same on every machine: text,
// tables of addresses, runs of zeros and, when asked for, random bytes.
#pragma once
#include "package/package_writer.h"
#include <string.h>

inline Bytes SampleInstallData(size_t size, bool withRandomBytes)
{
    static const char* words[] = {"setup", "install", "file", "folder", "program", "window", "registry",
                                  "value", "shortcut", "product", "version", "system", "library", "data"};
    Bytes out;
    out.reserve(size + 8192);
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u; };
    while (out.size() < size) {
        switch (next() >> 16 & 3) {
        case 1:
            out.insert(out.end(), (next() >> 16) % 4096, 0);
            break;
        case 2:
            if (withRandomBytes) {
                for (int i = 0; i < 1024; i++)
                    out.push_back((uint8_t)(next() >> 24));
                break;
            }
            [[fallthrough]];
        case 0:
            for (int i = 0; i < 200; i++) {
                const char* w = words[(next() >> 16) % 14];
                out.insert(out.end(), w, w + strlen(w));
                out.push_back(next() >> 16 & 1 ? ' ' : '\n');
            }
            break;
        default:
            for (uint32_t i = 0; i < 512; i++)
                PutU32(out, 0x00400000u + i * 16);
        }
    }
    out.resize(size);
    return out;
}
