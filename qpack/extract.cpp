#include "extract.h"
#include "codepage.h"
#include "file_facts.h"
#include "package_description.h"
#include <filesystem>

std::string SafePathBelow(const std::string& folder, const std::string& name)
{
    std::string path = folder;
    size_t start = name.empty() || (name[0] != '\\' && name[0] != '/') ? 0 : 1;
    do {
        const size_t end = std::min(name.find_first_of("\\/", start), name.size());
        const std::string part = name.substr(start, end - start);
        if (part.empty() || part == "." || part == ".." || part.find(':') != std::string::npos)
            return "";
        for (unsigned char c : part)
            if (c < 0x20)
                return "";
        path += "/" + CodePageToUtf8(part, 1252);
        start = end + 1;
    } while (start <= name.size());
    return path;
}

namespace {

bool WriteBelow(const std::string& folder, const std::string& name, const uint8_t* bytes, size_t size,
                std::vector<std::string>& problems)
{
    const std::string path = SafePathBelow(folder, name);
    if (path.empty()) {
        problems.push_back("refused the name '" + CodePageToUtf8(name, 1252) + "': it would lead outside " + folder);
        return false;
    }
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    if (!WriteWholeFile(path, std::vector<uint8_t>(bytes, bytes + size))) {
        problems.push_back("cannot write " + path);
        return false;
    }
    return true;
}

const char* RootFolder(int root)
{
    static const char* const names[] = {"destination", "system", "windows"};
    return names[root];
}

} // namespace

int ExtractPackage(const PackageContents& c, const std::string& folder, std::vector<std::string>& problems)
{
    int written = 0;
    for (size_t i = 0; i < c.files.size(); i++) {
        const FileRecord& f = c.files[i];
        if (IsReference(f))
            continue;
        const char* relative = f.relativeName[0] == '\\' ? f.relativeName + 1 : f.relativeName;
        const std::string name =
            i == 0 ? "uninstaller\\uninstall.exe" : std::string(RootFolder(f.root)) + "\\" + relative;
        written += WriteBelow(folder, name, f.body, f.size, problems);
    }
    for (int i = 0; i < 4; i++)
        if (c.sheets[i].source.form == ITEM_EMBEDDED)
            written += WriteBelow(folder, std::string("pictures\\") + SheetNames[i] + ".bmp", c.sheets[i].source.bytes,
                                  c.sheets[i].source.size, problems);
    for (size_t i = 0; i < c.banners.size(); i++)
        if (c.banners[i].source.form == ITEM_EMBEDDED)
            written += WriteBelow(folder, "banners\\banner-" + std::to_string(i + 1) + ".bmp",
                                  c.banners[i].source.bytes, c.banners[i].source.size, problems);
    if (c.sound.source.form == ITEM_EMBEDDED)
        written += WriteBelow(folder, "sound.wav", c.sound.source.bytes, c.sound.source.size, problems);
    return written;
}
