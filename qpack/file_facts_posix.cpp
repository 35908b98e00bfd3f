#include "file_facts.h"
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string NotRegular(mode_t mode)
{
    const char* kind = S_ISDIR(mode)    ? "a folder"
                       : S_ISFIFO(mode) ? "a FIFO"
                       : S_ISCHR(mode)  ? "a character device"
                       : S_ISBLK(mode)  ? "a block device"
                       : S_ISSOCK(mode) ? "a socket"
                                        : "something else";
    return std::string("it is ") + kind + ", not a regular file";
}

// The mode open() gives a new file: read and write for all, less the umask.
mode_t NewFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, const uint8_t* bytes, size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, bytes, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        size -= (size_t)n;
    }
    return true;
}

// The bytes reach the disk before the file takes the output's place, so that
// a crash leaves either the old output or the whole new one.
bool Fill(int fd, const std::vector<uint8_t>& bytes)
{
    return fchmod(fd, NewFileMode()) == 0 && WriteAll(fd, bytes.data(), bytes.size()) && fsync(fd) == 0;
}

// Removes the new file after a failed step; the step's reason is kept.
bool Abandon(int fd, const std::string& temporary, const char* step, std::string& reason)
{
    reason = std::string(step) + " '" + temporary + "': " + strerror(errno);
    if (fd >= 0)
        close(fd);
    RemoveFile(temporary);
    return false;
}

} // namespace

int OpenRegularFile(const std::string& path, uint64_t& size, std::string& reason)
{
    // Without O_NONBLOCK, opening a FIFO would wait for a writer before fstat could refuse it.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0) {
        reason = strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        reason = NotRegular(info.st_mode);
    } else {
        size = (uint64_t)info.st_size;
        return fd;
    }
    if (fd >= 0)
        close(fd);
    return -1;
}

bool ReadAt(int fd, uint64_t offset, uint8_t* out, size_t size, std::string& reason)
{
    while (size > 0) {
        const ssize_t n = pread(fd, out, size, (off_t)offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            reason = n < 0 ? strerror(errno) : "the file is shorter than it was: it changed while it was read";
            return false;
        }
        out += n;
        offset += (uint64_t)n;
        size -= (size_t)n;
    }
    return true;
}

void CloseFile(int fd)
{
    close(fd);
}

std::string OutputRefusal(const std::string& path, const std::vector<std::string>& inputs)
{
    struct stat output;
    if (stat(path.c_str(), &output) != 0)
        return errno == ENOENT ? "" : strerror(errno);
    if (!S_ISREG(output.st_mode))
        return NotRegular(output.st_mode);
    for (const std::string& input : inputs) {
        struct stat info;
        if (stat(input.c_str(), &info) == 0 && info.st_dev == output.st_dev && info.st_ino == output.st_ino)
            return "it is the same file as '" + input + "', which the setup program is made from";
    }
    return "";
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& reason)
{
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        reason = NotRegular(info.st_mode);
        return false;
    }
    const std::string folder = path.substr(0, path.rfind('/') + 1);
    std::string temporary = folder + ".qpack-XXXXXX";
    const int fd = mkstemp(&temporary[0]);
    if (fd < 0) {
        reason = "cannot create a file in '" + (folder.empty() ? "." : folder) + "': " + strerror(errno);
        return false;
    }
    if (!Fill(fd, bytes))
        return Abandon(fd, temporary, "cannot write", reason);
    if (close(fd) != 0)
        return Abandon(-1, temporary, "cannot write", reason);
    if (!MoveOver(temporary, path))
        return Abandon(-1, temporary, "cannot rename", reason);
    return true;
}

void RemoveFile(const std::string& path)
{
    unlink(path.c_str());
}

bool MoveOver(const std::string& from, const std::string& path)
{
    return rename(from.c_str(), path.c_str()) == 0;
}

bool GetFileFacts(const std::string& path, FileFacts& facts)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return false;
    facts.modified = FileTimeFromUnix(info.st_mtim.tv_sec, (uint32_t)info.st_mtim.tv_nsec);
    const bool writable = info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH);
    facts.attributes = ATTRIBUTE_ARCHIVE | (writable ? 0u : (uint32_t)ATTRIBUTE_READONLY);
    return true;
}

bool SetFileFacts(const std::string& path, uint64_t, uint64_t modified, uint32_t attributes)
{
    struct timespec times[2];
    times[0].tv_sec = (time_t)((int64_t)(modified / 10000000u) - UNIX_EPOCH_SECONDS);
    times[0].tv_nsec = (long)(modified % 10000000u) * 100;
    times[1] = times[0];
    struct stat info;
    if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0 || stat(path.c_str(), &info) != 0)
        return false;
    return !(attributes & ATTRIBUTE_READONLY) || chmod(path.c_str(), info.st_mode & ~(S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}
