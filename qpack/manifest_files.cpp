// The files a package installs: the uninstaller, the [[file]] and [[files]]
// tables, their targets checked against each other, and their order.
#include "manifest_sections.h"
#include "codepage.h"
#include "file_facts.h"
#include "patterns.h"
#include "windows_names.h"
#include <algorithm>
#include <ctype.h>
#include <filesystem>
#include <string.h>

namespace manifest_reading {

namespace {

// Windows file times count 100 ns from 1601-01-01 UTC in 63 bits, into the
// year 30828; the bounds are in seconds from 1970.
const int64_t FILETIME_FIRST_SECOND = -11644473600;
const int64_t FILETIME_LAST_SECOND = INT64_MAX / 10000000 - 1 - 11644473600;

const uint32_t AttributeBits[] = {ATTRIBUTE_READONLY, ATTRIBUTE_HIDDEN, ATTRIBUTE_SYSTEM, ATTRIBUTE_ARCHIVE};
const char* const AttributeNames[] = {"readonly", "hidden", "system", "archive"};

void ReadAttributes(Reader& r, const toml::table& t, const std::string& path, uint32_t& attributes)
{
    Node n = t.get("attributes");
    if (!n)
        return;
    const toml::array* a = n->as_array();
    attributes = 0;
    for (size_t i = 0; a && i < a->size(); i++) {
        const auto* name = a->get(i)->as_string();
        int bit = -1;
        for (int k = 0; name && k < 4; k++)
            if (name->get() == AttributeNames[k])
                bit = k;
        if (bit < 0) {
            a = nullptr;
            break;
        }
        attributes |= AttributeBits[bit];
    }
    if (!a)
        Fail(r, n, path + ".attributes", "must be a list of \"readonly\", \"hidden\", \"system\", \"archive\"");
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = (unsigned)(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + (int64_t)doe - 719468;
}

// A time without its UTC offset would be taken in whatever zone the
// install runs; the file times it sets are UTC.
void ReadTime(Reader& r, const toml::table& t, const std::string& path, const char* key, uint64_t& out)
{
    Node n = t.get(key);
    if (!n)
        return;
    const auto* v = n->as_date_time();
    if (!v) {
        Fail(r, n, Join(path, key), "must be a date and time such as 2024-05-01T12:00:00Z");
        return;
    }
    const toml::date_time& dt = v->get();
    if (!dt.offset) {
        Fail(r, n, Join(path, key), "needs its UTC offset, as in 2024-05-01T12:00:00Z or 2024-05-01T14:00:00+02:00");
        return;
    }
    const int64_t seconds = DaysFromCivil(dt.date.year, dt.date.month, dt.date.day) * 86400 + dt.time.hour * 3600 +
                            dt.time.minute * 60 + dt.time.second - dt.offset->minutes * 60;
    if (seconds < FILETIME_FIRST_SECOND || seconds > FILETIME_LAST_SECOND) {
        Fail(r, n, Join(path, key), "lies outside 1601-01-01 to 30828, the times a Windows file can have, in UTC");
        return;
    }
    out = FileTimeFromUnix(seconds, dt.time.nanosecond);
}

// A file's target is reported where it is written, or at the source it is named after.
Node FileTargetNode(const toml::table& t)
{
    return t.get("target") ? t.get("target") : t.get("source");
}

// What an entry says of its files beyond sources and targets, read once: a
// [[files]] table gives it to every file it matches.
struct FileOptions {
    int16_t root = 0;
    bool carried = true;
    bool hasAttributes = false, hasCreated = false, hasModified = false;
    FileEntry given; // the attributes and times the entry gives
};

FileOptions ReadFileOptions(Reader& r, const toml::table& t, const std::string& path)
{
    FileOptions o;
    o.root = (int16_t)GetChoice(r, t, path, "root", {"destination", "system", "windows"}, 0);
    Get(r, t, path, "carried", o.carried);
    if (o.carried && t.get("beside"))
        Fail(r, t.get("beside"), path + ".beside", "is used only with carried = false");
    o.hasAttributes = t.get("attributes") != nullptr;
    o.hasCreated = t.get("created") != nullptr;
    o.hasModified = t.get("modified") != nullptr;
    ReadAttributes(r, t, path, o.given.attributes);
    ReadTime(r, t, path, "created", o.given.created);
    ReadTime(r, t, path, "modified", o.given.modified);
    return o;
}

// One file of an entry: its bytes, the attributes and times of its source
// unless the entry gives them, and, when it is not carried, its name beside
// the setup program. False when the source cannot be read.
bool ReadEntryFile(Reader& r, const toml::table& t, const std::string& path, const FileOptions& o,
                   const std::string& source, const std::string& beside, FileEntry& f)
{
    f.root = o.root;
    FileFacts facts = {0, ATTRIBUTE_ARCHIVE};
    std::string failure = "cannot read '" + source + "'";
    if (!ReadInput(r, source, f.body, failure) || !GetFileFacts(Resolve(r, source), facts)) {
        Fail(r, t.get("source"), path + ".source", failure);
        return false;
    }
    if (f.body.size() > 0xFFFFFFFFu)
        Fail(r, t.get("source"), path + ".source", "is larger than 4 GB");
    f.attributes = o.hasAttributes ? o.given.attributes : facts.attributes;
    f.created = o.hasCreated ? o.given.created : facts.modified;
    f.modified = o.hasModified ? o.given.modified : facts.modified;
    if (!o.carried) {
        f.kind |= FILE_REFERENCE;
        f.sourceName = RelativeName(r, t.get("beside") ? t.get("beside") : t.get("source"), path + ".beside", beside,
                                    strlen(SetupFolderExample));
    }
    return true;
}

FileEntry ReadFile(Reader& r, const toml::table& t, const std::string& path)
{
    CheckKeys(r, t, path,
              {"source", "target", "root", "readme", "carried", "beside", "attributes", "created", "modified"});
    FileEntry f;
    std::string source;
    if (!Get(r, t, path, "source", source)) {
        Fail(r, &t, path + ".source", "is missing");
        return f;
    }
    const FileOptions o = ReadFileOptions(r, t, path);
    std::string target = BaseName(source), beside = BaseName(source);
    Get(r, t, path, "target", target);
    Get(r, t, path, "beside", beside);
    f.relativeName = RootedName(r, FileTargetNode(t), path + ".target", target, FolderLength(r, o.root));
    bool readme = false;
    Get(r, t, path, "readme", readme);
    f.kind = readme ? FILE_README : 0;
    ReadEntryFile(r, t, path, o, source, beside, f);
    return f;
}

// The patterns of a [[files]] key, checked; fallback when the key is absent.
std::vector<std::string> ReadPatterns(Reader& r, const toml::table& t, const std::string& path, const char* key,
                                      std::vector<std::string> fallback)
{
    Node n = t.get(key);
    if (!n)
        return fallback;
    std::vector<std::string> patterns;
    const toml::array* a = n->as_array();
    for (size_t i = 0; a && i < a->size(); i++) {
        const auto* text = a->get(i)->as_string();
        if (!text) {
            Fail(r, n, Join(path, key), "must be a list of patterns");
            return {};
        }
        const std::string problem = PatternProblem(text->get());
        if (!problem.empty())
            Fail(r, a->get(i), Join(path, key), "'" + text->get() + "' " + problem);
        else
            patterns.push_back(text->get());
    }
    if (!a)
        Fail(r, n, Join(path, key), "must be a list of patterns");
    return patterns;
}

bool MatchesAny(const std::vector<std::string>& patterns, const std::string& path)
{
    for (const std::string& p : patterns)
        if (MatchesPattern(p, path))
            return true;
    return false;
}

// The files below a folder, as paths relative to it with '/' between their
// parts, in byte order, so that a build does not depend on the order the
// system lists them in. Links to folders are not followed.
std::vector<std::string> FilesBelow(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::error_code e;
    for (fs::recursive_directory_iterator i(fs::u8path(folder), e), end; !e && i != end; i.increment(e))
        if (i->is_regular_file(e))
            files.push_back(i->path().lexically_relative(fs::u8path(folder)).generic_u8string());
    std::sort(files.begin(), files.end());
    return files;
}

// A file's entry and the name its messages give it.
struct FileOrigin {
    Node at;
    std::string name;
};

// A [[files]] table: every file below its source folder that an include
// pattern matches and no exclude pattern does, in the shape of the tree below
// its target folder.
void ReadFolder(Reader& r, const toml::table& t, const std::string& path, PackageInputs& in,
                std::vector<FileOrigin>& origins)
{
    CheckKeys(r, t, path,
              {"source", "target", "include", "exclude", "root", "carried", "beside", "attributes", "created",
               "modified"});
    std::string source, target, beside;
    if (!Get(r, t, path, "source", source)) {
        Fail(r, &t, path + ".source", "is missing");
        return;
    }
    Get(r, t, path, "target", target);
    Get(r, t, path, "beside", beside);
    const std::vector<std::string> include = ReadPatterns(r, t, path, "include", {"**"});
    const std::vector<std::string> exclude = ReadPatterns(r, t, path, "exclude", {});
    const FileOptions o = ReadFileOptions(r, t, path);
    const std::string folder = Resolve(r, source);
    std::error_code e;
    if (!std::filesystem::is_directory(std::filesystem::u8path(folder), e)) {
        Fail(r, t.get("source"), path + ".source", "'" + source + "' is not a folder");
        return;
    }
    const auto within = [](const std::string& base, const std::string& name) {
        return base.empty() ? name : base + (base.back() == '/' ? "" : "/") + name;
    };
    size_t matched = 0;
    for (const std::string& name : FilesBelow(folder)) {
        if (!MatchesAny(include, name) || MatchesAny(exclude, name))
            continue;
        matched++;
        FileEntry f;
        f.relativeName = RootedName(r, FileTargetNode(t), path + ".target", within(target, name),
                                    FolderLength(r, o.root));
        if (!ReadEntryFile(r, t, path, o, within(source, name), within(beside, name), f))
            return;
        in.files.push_back(f);
        origins.push_back(FileOrigin{FileTargetNode(t), path + " '" + name + "'"});
    }
    if (!matched)
        Fail(r, t.get("include") ? t.get("include") : t.get("source"), path, "matches no file");
}

void ReadUninstaller(Reader& r, const toml::table* product, PackageInputs& in)
{
    FileEntry u;
    u.relativeName = "\\uninstall.exe";
    std::string path, failure;
    const toml::node* named = product ? product->get("uninstaller") : nullptr;
    // A product without an uninstaller says so in so many words.
    if (named && named->is_boolean()) {
        in.noUninstaller = !named->value_or(true);
        if (!in.noUninstaller)
            Fail(r, named, "product.uninstaller", "is a program's path, or false for a product without one");
    } else if (product && Get(r, *product, "product", "uninstaller", path) && !ReadInput(r, path, u.body, failure)) {
        Fail(r, named, "product.uninstaller", failure);
    }
    in.files.push_back(u);
}

// The target of a file without its leading backslash, in UTF-8.
std::string TargetOf(const Reader& r, const FileEntry& f)
{
    return f.relativeName.empty() ? "" : CodePageToUtf8(f.relativeName.substr(1), r.codePage);
}

std::string ClashText(ClashKind kind, const std::string& other)
{
    if (kind == CLASH_SAME)
        return "names the same file as " + other;
    if (kind == CLASH_INSIDE_FILE)
        return "needs a folder where " + other + " installs a file";
    return "names a file where " + other + " needs a folder";
}

// Windows compares names without regard to case: two targets that differ
// only in case are one file. The uninstaller, first of the files, and the
// install's own files have their names in the destination folder too.
void CheckFileTargets(Reader& r, const std::vector<FileOrigin>& origins, const PackageInputs& in)
{
    std::vector<PlacedName> names;
    for (const FileEntry& f : in.files)
        names.push_back(PlacedName{f.root, ComparableName(TargetOf(r, f))});
    for (const Clash& c : FindClashes(names, true))
        Fail(r, origins[c.later].at, origins[c.later].name + ".target", ClashText(c.kind, origins[c.earlier].name));
    for (size_t i = 1; i < in.files.size(); i++) {
        const std::string target = TargetOf(r, in.files[i]);
        if (in.files[i].root == 0 && IsInstallFileName(target.substr(0, target.find('\\'))))
            Fail(r, origins[i].at, origins[i].name + ".target",
                 "is a name the install keeps for its own files in the destination folder");
    }
}

// The sort key of a file: its kind (the extension, in lower case), then its
// name, then its whole path; files that resemble each other end up side by
// side, where the compressor's window finds what they share.
std::string SimilarityKey(const FileEntry& f)
{
    const std::string& path = f.relativeName;
    const size_t slash = path.find_last_of('\\'), dot = path.find_last_of('.');
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    std::string kind = dot == std::string::npos || (slash != std::string::npos && dot < slash) ? "" : path.substr(dot);
    for (char& c : kind)
        c = (char)tolower((unsigned char)c);
    return kind + '\0' + name + '\0' + path;
}

// Puts similar files next to each other unless [product] file_order keeps
// the manifest's order. The uninstaller stays first, and a program of the
// package that the first install command runs stays right after it, since
// that command runs once the first file is installed.
void OrderFiles(Reader& r, const toml::table* product, PackageInputs& in)
{
    if (product && GetChoice(r, *product, "product", "file_order", {"similar", "manifest"}, 0) == 1)
        return;
    size_t fixed = 1;
    const CommandData& first = in.commands[2];
    if (first.present && first.folder == 0 && in.files.size() > 1 &&
        ComparableName(TargetOf(r, in.files[1])) == ComparableName(CodePageToUtf8(first.path.substr(1), r.codePage)))
        fixed = 2;
    std::vector<size_t> order(in.files.size());
    for (size_t i = 0; i < order.size(); i++)
        order[i] = i;
    std::vector<std::string> keys;
    for (const FileEntry& f : in.files)
        keys.push_back(SimilarityKey(f));
    std::stable_sort(order.begin() + (long)std::min(fixed, order.size()), order.end(),
                     [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    std::vector<FileEntry> files;
    std::vector<std::string> names;
    for (size_t i : order) {
        files.push_back(std::move(in.files[i]));
        names.push_back(in.fileNames[i]);
    }
    in.files = std::move(files);
    in.fileNames = std::move(names);
}

} // namespace

void ReadFiles(Reader& r, const toml::table& root, PackageInputs& in)
{
    ReadUninstaller(r, root.get_as<toml::table>("product"), in);
    std::vector<FileOrigin> origins = {FileOrigin{root.get("product"), "the uninstaller"}};
    const std::vector<const toml::table*> files = GetTables(r, root, "file");
    // The Finish step offers one README.
    std::string readme;
    for (size_t i = 0; i < files.size(); i++) {
        in.files.push_back(ReadFile(r, *files[i], Indexed("file", i)));
        origins.push_back(FileOrigin{FileTargetNode(*files[i]), Indexed("file", i)});
        if (!(in.files.back().kind & FILE_README))
            continue;
        if (!readme.empty())
            Fail(r, files[i]->get("readme"), Indexed("file", i) + ".readme", readme + " is the README already");
        readme = Indexed("file", i);
    }
    const std::vector<const toml::table*> folders = GetTables(r, root, "files");
    for (size_t i = 0; i < folders.size(); i++)
        ReadFolder(r, *folders[i], Indexed("files", i), in, origins);
    if (in.files.size() > COUNT_LIMIT)
        Fail(r, root.get("files") ? root.get("files") : root.get("file"), "file", "more than 32766 files");
    CheckFileTargets(r, origins, in);
    for (const FileOrigin& o : origins)
        in.fileNames.push_back(o.name);
    OrderFiles(r, root.get_as<toml::table>("product"), in);
}

} // namespace manifest_reading
