// Reading and writing whole files, and what qpack needs to know of the files
// a manifest names. Paths are UTF-8 on every system.
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

// A descriptor open for reading and the file's size, or -1 with the reason
// when the path is no regular file that can be opened.
int OpenRegularFile(const std::string& path, uint64_t& size, std::string& reason);

// Exactly size bytes from offset; false with the reason when fewer are there.
bool ReadAt(int fd, uint64_t offset, uint8_t* out, size_t size, std::string& reason);

void CloseFile(int fd);

// False with the reason when the path is no regular file that can be read whole.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, std::string& reason);

// Why path must not receive an output made from the inputs, or "" when it
// may: an output replaces only a regular file, and none that is also an
// input, however the two paths spell it.
std::string OutputRefusal(const std::string& path, const std::vector<std::string>& inputs);

// Writes bytes to a new file beside path and renames it over path once it
// is complete, so that a failure leaves path as it was and removes only the
// new file. False with the reason when path exists as anything but a regular
// file, or the system refuses a step.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& reason);

void RemoveFile(const std::string& path);

// Moves a file into path's place, over a file that is there.
bool MoveOver(const std::string& from, const std::string& path);

struct FileFacts {
    uint64_t modified;   // FILETIME: 100 ns since 1601-01-01 UTC
    uint32_t attributes; // archive, and read-only as the file is (on Linux: when nobody may write it)
};

bool GetFileFacts(const std::string& path, FileFacts& facts);

// Gives a file its times (FILETIMEs; the creation time where the file system
// keeps one) and, when the attributes hold it, the read-only flag; false
// when the system refuses one of them.
bool SetFileFacts(const std::string& path, uint64_t created, uint64_t modified, uint32_t attributes);

const int64_t UNIX_EPOCH_SECONDS = 11644473600; // seconds from 1601 to 1970

// FILETIME of a moment given in seconds and nanoseconds since 1970-01-01 UTC.
inline uint64_t FileTimeFromUnix(int64_t seconds, uint32_t nanoseconds)
{
    return (uint64_t)(seconds + UNIX_EPOCH_SECONDS) * 10000000u + nanoseconds / 100;
}
