// What qpack needs to know of the files a manifest names, on any host.
#pragma once
#include <stdint.h>
#include <string>
#include <vector>

enum : uint32_t {
    ATTRIBUTE_READONLY = 0x01,
    ATTRIBUTE_HIDDEN = 0x02,
    ATTRIBUTE_SYSTEM = 0x04,
    ATTRIBUTE_ARCHIVE = 0x20,
};

// False when the path is not a regular file that can be read whole.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out);
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);

struct FileFacts {
    uint64_t modified;   // FILETIME: 100 ns since 1601-01-01 UTC
    uint32_t attributes; // archive, and read-only when nobody may write it
};

bool GetFileFacts(const std::string& path, FileFacts& facts);

// FILETIME of a moment given in seconds and nanoseconds since 1970-01-01 UTC.
uint64_t FileTimeFromUnix(int64_t seconds, uint32_t nanoseconds);
