#include "file_facts.h"

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, std::string& reason)
{
    uint64_t size = 0;
    const int fd = OpenRegularFile(path, size, reason);
    if (fd < 0)
        return false;
    out.resize(size);
    const bool read = ReadAt(fd, 0, out.data(), out.size(), reason);
    CloseFile(fd);
    return read;
}
