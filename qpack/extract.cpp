#include "extract.h"
#include "codepage.h"
#include "file_facts.h"
#include "slots.h"
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
        path += "/" + part;
        start = end + 1;
    } while (start <= name.size());
    return path;
}

namespace {

bool WriteBelow(const std::string& folder, const std::string& name, const uint8_t* bytes, size_t size,
                std::vector<std::string>& problems, const FileRecord* record = nullptr)
{
    const std::string path = SafePathBelow(folder, name);
    if (path.empty()) {
        problems.push_back("refused the name '" + name + "': it would lead outside " + folder);
        return false;
    }
    const std::filesystem::path parent = std::filesystem::u8path(path).parent_path();
    std::error_code failure;
    std::filesystem::create_directories(parent, failure);
    if (failure) {
        problems.push_back("cannot create the folder " + parent.u8string() + ": " + failure.message());
        return false;
    }
    std::string reason;
    if (!WriteWholeFile(path, std::vector<uint8_t>(bytes, bytes + size), reason)) {
        problems.push_back("cannot write " + path + ": " + reason);
        return false;
    }
    // A file comes back as the setup program installs it.
    if (record && !SetFileFacts(path, record->created, record->modified, record->attributes))
        problems.push_back("cannot set the times or the read-only flag of " + path);
    return true;
}

const char* RootFolder(int root)
{
    static const char* const names[] = {"destination", "system", "windows"};
    return names[root];
}

// Where a carried file goes below the folder: by its root, then its name
// without the leading backslash. The name is decoded before anything looks
// for backslashes in it, as the second byte of a double-byte character may
// be 0x5C.
std::string CarriedFileName(const PackageContents& c, size_t i)
{
    if (i == 0)
        return "uninstaller\\uninstall.exe";
    const std::string name = CodePageToUtf8(c.files[i].relativeName, TextCodePage(c));
    const size_t rooted = !name.empty() && name[0] == '\\';
    return std::string(RootFolder(c.files[i].root)) + "\\" + name.substr(rooted);
}

} // namespace

int ExtractPackage(const PackageContents& c, const std::string& folder, std::vector<std::string>& problems)
{
    int written = 0;
    for (size_t i = 0; i < c.files.size(); i++) {
        const FileRecord& f = c.files[i];
        if (IsReference(f))
            continue;
        written += WriteBelow(folder, CarriedFileName(c, i), f.body, f.size, problems, &f);
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
