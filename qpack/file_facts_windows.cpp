#include "file_facts.h"
#include "wide_text.h"
#include <windows.h>
#include <fcntl.h>
#include <io.h>

namespace {

const char* const NoRegularFolder = "it is a folder, not a regular file";

std::string LastError()
{
    return SystemMessage(GetLastError());
}

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A file's identity whatever path names it: its volume and its index there.
bool Identify(const std::string& path, BY_HANDLE_FILE_INFORMATION& info)
{
    const HANDLE h = CreateFileW(WideFromUtf8(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool known = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    return known;
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b)
{
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

// Pieces small enough for one ReadFile or WriteFile call.
DWORD Piece(size_t size)
{
    return size < (1u << 30) ? (DWORD)size : (1u << 30);
}

bool WriteAll(HANDLE h, const uint8_t* bytes, size_t size)
{
    while (size > 0) {
        DWORD n = 0;
        if (!WriteFile(h, bytes, Piece(size), &n, nullptr) || n == 0)
            return false;
        bytes += n;
        size -= n;
    }
    return true;
}

// A new file beside the output, under a name no other file has.
HANDLE CreateBeside(const std::string& folder, std::string& temporary)
{
    for (unsigned attempt = 0; attempt < 1000; attempt++) {
        temporary = folder + ".qpack-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt);
        const HANDLE h = CreateFileW(WideFromUtf8(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return h;
    }
    return INVALID_HANDLE_VALUE;
}

// Removes the new file after a failed step; the step's reason is kept.
bool Abandon(HANDLE h, const std::string& temporary, const char* step, std::string& reason)
{
    reason = std::string(step) + " '" + temporary + "': " + LastError();
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    RemoveFile(temporary);
    return false;
}

} // namespace

int OpenRegularFile(const std::string& path, uint64_t& size, std::string& reason)
{
    const std::wstring name = WideFromUtf8(path);
    if (IsFolder(name)) {
        reason = NoRegularFolder;
        return -1;
    }
    const HANDLE h = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER length;
    if (h == INVALID_HANDLE_VALUE) {
        reason = LastError();
        return -1;
    }
    if (GetFileType(h) != FILE_TYPE_DISK) {
        reason = "it is a device or a pipe, not a regular file";
    } else if (!GetFileSizeEx(h, &length)) {
        reason = LastError();
    } else {
        // The descriptor owns the handle from here on.
        const int fd = _open_osfhandle((intptr_t)h, _O_RDONLY | _O_BINARY);
        if (fd >= 0) {
            size = (uint64_t)length.QuadPart;
            return fd;
        }
        reason = "too many open files";
    }
    CloseHandle(h);
    return -1;
}

bool ReadAt(int fd, uint64_t offset, uint8_t* out, size_t size, std::string& reason)
{
    const HANDLE h = (HANDLE)_get_osfhandle(fd);
    while (size > 0) {
        OVERLAPPED at = {};
        at.Offset = (DWORD)offset;
        at.OffsetHigh = (DWORD)(offset >> 32);
        DWORD n = 0;
        if (!ReadFile(h, out, Piece(size), &n, &at) && GetLastError() != ERROR_HANDLE_EOF) {
            reason = LastError();
            return false;
        }
        if (n == 0) {
            reason = "the file is shorter than it was: it changed while it was read";
            return false;
        }
        out += n;
        offset += n;
        size -= n;
    }
    return true;
}

void CloseFile(int fd)
{
    _close(fd);
}

std::string OutputRefusal(const std::string& path, const std::vector<std::string>& inputs)
{
    const DWORD attributes = GetFileAttributesW(WideFromUtf8(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? "" : SystemMessage(error);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return NoRegularFolder;
    BY_HANDLE_FILE_INFORMATION output, input;
    if (!Identify(path, output))
        return LastError();
    for (const std::string& i : inputs)
        if (Identify(i, input) && SameFile(input, output))
            return "it is the same file as '" + i + "', which the setup program is made from";
    return "";
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& reason)
{
    if (IsFolder(WideFromUtf8(path))) {
        reason = NoRegularFolder;
        return false;
    }
    const std::string folder = path.substr(0, path.find_last_of("/\\") + 1);
    std::string temporary;
    const HANDLE h = CreateBeside(folder, temporary);
    if (h == INVALID_HANDLE_VALUE) {
        reason = "cannot create a file in '" + (folder.empty() ? "." : folder) + "': " + LastError();
        return false;
    }
    // The bytes reach the disk before the file takes the output's place, so
    // that a crash leaves either the old output or the whole new one.
    if (!WriteAll(h, bytes.data(), bytes.size()) || !FlushFileBuffers(h))
        return Abandon(h, temporary, "cannot write", reason);
    CloseHandle(h);
    if (!MoveOver(temporary, path))
        return Abandon(INVALID_HANDLE_VALUE, temporary, "cannot rename", reason);
    return true;
}

void RemoveFile(const std::string& path)
{
    DeleteFileW(WideFromUtf8(path).c_str());
}

bool MoveOver(const std::string& from, const std::string& path)
{
    return MoveFileExW(WideFromUtf8(from).c_str(), WideFromUtf8(path).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool GetFileFacts(const std::string& path, FileFacts& facts)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(WideFromUtf8(path).c_str(), GetFileExInfoStandard, &data))
        return false;
    facts.modified = (uint64_t)data.ftLastWriteTime.dwHighDateTime << 32 | data.ftLastWriteTime.dwLowDateTime;
    const bool readOnly = data.dwFileAttributes & FILE_ATTRIBUTE_READONLY;
    facts.attributes = ATTRIBUTE_ARCHIVE | (readOnly ? (uint32_t)ATTRIBUTE_READONLY : 0u);
    return true;
}

bool SetFileFacts(const std::string& path, uint64_t created, uint64_t modified, uint32_t attributes)
{
    const std::wstring wide = WideFromUtf8(path);
    HANDLE file = CreateFileW(wide.c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const FILETIME made = {(DWORD)created, (DWORD)(created >> 32)}, written = {(DWORD)modified, (DWORD)(modified >> 32)};
    const bool timed = SetFileTime(file, &made, NULL, &written);
    CloseHandle(file);
    return timed && (!(attributes & ATTRIBUTE_READONLY) || SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
}
