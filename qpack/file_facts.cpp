#include "file_facts.h"
#include <stdio.h>
#include <sys/stat.h>

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    out.resize((size_t)info.st_size);
    const bool ok = fread(out.data(), 1, out.size(), f) == out.size() && fgetc(f) == EOF;
    fclose(f);
    return ok;
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool written = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && written;
}

uint64_t FileTimeFromUnix(int64_t seconds, uint32_t nanoseconds)
{
    const int64_t epochDifference = 11644473600; // seconds from 1601 to 1970
    return (uint64_t)(seconds + epochDifference) * 10000000u + nanoseconds / 100;
}

bool GetFileFacts(const std::string& path, FileFacts& facts)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return false;
#ifdef _WIN32
    facts.modified = FileTimeFromUnix(info.st_mtime, 0);
    const bool writable = info.st_mode & _S_IWRITE;
#else
    facts.modified = FileTimeFromUnix(info.st_mtim.tv_sec, (uint32_t)info.st_mtim.tv_nsec);
    const bool writable = info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH);
#endif
    facts.attributes = ATTRIBUTE_ARCHIVE | (writable ? 0u : (uint32_t)ATTRIBUTE_READONLY);
    return true;
}
