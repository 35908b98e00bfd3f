// A folder of its own for one test, with the manifest and the files it
// names; removed when the test ends.
#pragma once
#include "qpack/file_facts.h"
#include <filesystem>
#include <string>
#include <unistd.h>

struct ManifestFolder {
    std::filesystem::path dir;

    explicit ManifestFolder(const std::string& name)
        : dir(std::filesystem::temp_directory_path() / ("qpack-" + name + "-" + std::to_string(getpid())))
    {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
        std::filesystem::create_directories(dir);
    }
    ~ManifestFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    std::string Path(const std::string& name) const { return (dir / name).string(); }

    std::string Write(const std::string& name, const std::string& content) const
    {
        const std::filesystem::path path = dir / name;
        std::filesystem::create_directories(path.parent_path());
        std::string reason;
        WriteWholeFile(path.string(), std::vector<uint8_t>(content.begin(), content.end()), reason);
        return path.string();
    }
};

// The smallest files each check accepts.
inline std::string BmpBytes()
{
    std::string b = "BM";
    b.resize(62, '\x01');
    return b;
}

inline std::string WavBytes()
{
    return std::string("RIFF\x24\0\0\0WAVEfmt ", 16) + std::string(20, '\x02');
}
