#include "manifest.h"
#include "manifest_sections.h"
#include "codepage.h"
#include "file_facts.h"

// What the manifest's files share, used here by its short names.
using namespace manifest_reading;

namespace {

uint8_t RestartFlags(Reader& r, const toml::table& product)
{
    const int restart = GetChoice(r, product, "product", "restart", {"none", "restart", "logoff"}, 0);
    const int uninstall = GetChoice(r, product, "product", "uninstall_restart", {"none", "restart", "logoff"}, 0);
    bool groupStep = true;
    Get(r, product, "product", "group_step", groupStep);
    const uint8_t setupBits[3] = {0, TRAILER_RESTART, TRAILER_LOGOFF};
    const uint8_t uninstallBits[3] = {0, TRAILER_UNINSTALL_RESTART, TRAILER_UNINSTALL_LOGOFF};
    return (uint8_t)(setupBits[restart] | uninstallBits[uninstall] | (groupStep ? TRAILER_GROUP_STEP : 0));
}

void ReadProduct(Reader& r, const toml::table& root, PackageInputs& in, std::string& stringsFile)
{
    const toml::table* product = GetTable(r, root, "", "product");
    if (!product) {
        Fail(r, &root, "product", "a [product] table with the product's name is missing");
        return;
    }
    CheckKeys(r, *product, "product",
              {"name", "strings", "codepage", "group_step", "restart", "uninstall_restart", "uninstaller",
               "file_order", "compression"});
    const bool named = Get(r, *product, "product", "name", r.product);
    if (!product->get("name"))
        Fail(r, product, "product.name", "is missing");
    else if (named && r.product.empty())
        Fail(r, product->get("name"), "product.name", "is empty");
    Get(r, *product, "product", "strings", stringsFile);
    int64_t codePage = 1252;
    if (GetInt(r, *product, "product", "codepage", 0, 65535, codePage) && !IsSupportedCodePage((int)codePage))
        Fail(r, product->get("codepage"), "product.codepage", "must be one of " + SupportedCodePages());
    else
        r.codePage = in.codePage = (uint16_t)codePage;
    ToCodePage(r, product->get("name"), "product.name", r.product, r.productInCodePage);
    in.flags = RestartFlags(r, *product);
    const int lzma = GetChoice(r, *product, "product", "compression", {"lz77", "lzma"}, 0);
    in.packVersion = lzma ? PACK_VERSION_LZMA : PACK_VERSION;
}

std::string FolderOf(const std::string& path)
{
    const size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? "" : path.substr(0, cut + 1);
}

uint32_t SumOfFileSizes(const std::vector<FileEntry>& files)
{
    uint64_t sum = 0;
    for (const FileEntry& f : files)
        sum += f.body.size();
    return sum > 0xFFFFFFFFu ? 0xFFFFFFFFu : (uint32_t)sum;
}

} // namespace

std::string FileEntryName(const PackageInputs& in, size_t index)
{
    if (index < in.fileNames.size())
        return in.fileNames[index];
    return index == 0 ? "the uninstaller" : Indexed("file", index - 1);
}

bool LoadManifest(const std::string& path, PackageInputs& in, std::vector<std::string>& errors,
                  const EncodeProgress* progress)
{
    Reader r{path, FolderOf(path), 1252, "", "", errors, in.inputPaths, in.notes, progress};
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!ReadWholeFile(path, bytes, reason)) {
        errors.push_back(path + ": cannot read the manifest: " + reason);
        return false;
    }
    toml::parse_result parsed = toml::parse(std::string_view((const char*)bytes.data(), bytes.size()), path);
    if (!parsed) {
        errors.push_back(path + ":" + std::to_string(parsed.error().source().begin.line) + ": " +
                         std::string(parsed.error().description()));
        return false;
    }
    const toml::table& root = parsed.table();
    CheckKeys(r, root, "",
              {"product", "texts", "appearance", "sound", "pictures", "banner", "file", "files", "shortcut",
               "registry", "install", "uninstall"});
    std::string stringsFile;
    ReadProduct(r, root, in, stringsFile);
    TextSources sources;
    ReadTexts(r, root, stringsFile, sources, in);
    ReadAppearance(r, root, in);
    ReadSound(r, root, in);
    ReadPictures(r, root, in);
    ReadBanners(r, root, in);
    ReadCommands(r, root, in);
    ReadFiles(r, root, in);
    ReadShortcuts(r, root, in);
    ReadRegistry(r, root, in);
    CheckLogHeader(r, root, sources, in);
    in.spaceRequired = SumOfFileSizes(in.files);
    return errors.empty();
}
