// The reading helpers: values by type and by keyword, the files a manifest
// names, and names below a folder of the target machine.
#include "manifest_reader.h"
#include "codepage.h"
#include "file_facts.h"
#include "windows_names.h"
#include <algorithm>
#include <stdio.h>
#include <string.h>

namespace manifest_reading {

namespace {

// Folders a resolved name is measured against: the longest usual ones.
const char SystemFolderExample[] = "C:\\WINDOWS\\system32\\";
const char WindowsFolderExample[] = "C:\\WINDOWS\\";
const char ProgramFilesExample[] = "C:\\Program Files\\";

} // namespace

static std::string Where(const Reader& r, Node at, const std::string& key)
{
    const int line = at ? (int)at->source().begin.line : 0;
    return r.file + ":" + std::to_string(line) + ": " + key + ": ";
}

void Fail(Reader& r, Node at, const std::string& key, const std::string& what)
{
    r.errors.push_back(Where(r, at, key) + what);
}

void Note(Reader& r, Node at, const std::string& key, const std::string& what)
{
    r.notes.push_back(Where(r, at, key) + "note: " + what);
}

std::string Join(const std::string& path, const std::string& key)
{
    return path.empty() ? key : path + "." + key;
}

void CheckKeys(Reader& r, const toml::table& t, const std::string& path, std::initializer_list<const char*> known)
{
    for (auto&& [key, node] : t) {
        bool found = false;
        for (const char* k : known)
            found = found || key.str() == k;
        const bool table = node.is_table() || node.is_array_of_tables();
        if (!found)
            Fail(r, &node, Join(path, std::string(key.str())), table ? "unknown table" : "unknown key");
    }
}

bool GetInt(Reader& r, const toml::table& t, const std::string& path, const char* key, int64_t low, int64_t high,
            int64_t& out)
{
    int64_t v;
    if (!Get(r, t, path, key, v))
        return false;
    if (v < low || v > high) {
        Fail(r, t.get(key), Join(path, key),
             "must lie between " + std::to_string(low) + " and " + std::to_string(high));
        return false;
    }
    out = v;
    return true;
}

int GetChoice(Reader& r, const toml::table& t, const std::string& path, const char* key,
              std::initializer_list<const char*> words, int fallback)
{
    std::string v;
    if (!Get(r, t, path, key, v))
        return fallback;
    int i = 0;
    std::string list;
    for (const char* w : words) {
        if (v == w)
            return i;
        list += (i++ ? ", " : "") + std::string(w);
    }
    Fail(r, t.get(key), Join(path, key), "must be one of " + list);
    return fallback;
}

const toml::table* GetTable(Reader& r, const toml::table& t, const std::string& path, const char* key)
{
    Node n = t.get(key);
    if (n && !n->is_table())
        Fail(r, n, Join(path, key), "must be a table");
    return n ? n->as_table() : nullptr;
}

std::vector<const toml::table*> GetTables(Reader& r, const toml::table& t, const char* key)
{
    std::vector<const toml::table*> tables;
    Node n = t.get(key);
    if (!n)
        return tables;
    const toml::array* a = n->as_array();
    if (a)
        for (const toml::node& item : *a)
            if (item.is_table())
                tables.push_back(item.as_table());
    if (!a || tables.size() != a->size())
        Fail(r, n, key, "must be written as [[" + std::string(key) + "]] tables");
    return tables;
}

std::string Indexed(const char* key, size_t i)
{
    return std::string(key) + "[" + std::to_string(i) + "]";
}

std::string Resolve(const Reader& r, const std::string& path)
{
    if (path.empty() || path[0] == '/' || path[0] == '\\' || (path.size() > 1 && path[1] == ':'))
        return path;
    return r.folder + path;
}

bool ReadInput(Reader& r, const std::string& name, std::vector<uint8_t>& bytes, std::string& failure)
{
    std::string reason;
    r.inputPaths.push_back(Resolve(r, name));
    if (ReadWholeFile(r.inputPaths.back(), bytes, reason)) {
        r.bytesRead += bytes.size();
        if (r.progress)
            r.progress->report(r.progress->context, r.bytesRead, 0);
        return true;
    }
    failure = "cannot read '" + name + "': " + reason;
    return false;
}

std::string BaseName(const std::string& path)
{
    const size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string CannotHold(const Reader& r, const std::string& utf8)
{
    std::string text = "has a character that code page " + std::to_string(r.codePage) + " cannot hold";
    const std::u32string characters = Utf8ToCodePoints(utf8);
    for (size_t i = 0; i < characters.size(); i++) {
        const std::string one = Utf8FromCodePoint(characters[i]);
        std::string converted;
        if (Utf8ToCodePage(one, r.codePage, converted))
            continue;
        char name[16];
        snprintf(name, sizeof name, "U+%04X", (unsigned)characters[i]);
        // A control character is named by its number alone.
        const bool shown = characters[i] >= 0x20 && characters[i] != 0x7F;
        return text + ": " + name + (shown ? " \"" + one + "\"" : "") + ", character " + std::to_string(i + 1);
    }
    return text;
}

bool ToCodePage(Reader& r, Node at, const std::string& key, const std::string& utf8, std::string& out)
{
    if (Utf8ToCodePage(utf8, r.codePage, out))
        return true;
    Fail(r, at, key, CannotHold(r, utf8));
    return false;
}

std::string RelativeName(Reader& r, Node at, const std::string& key, const std::string& utf8, size_t folderLength)
{
    std::string name;
    for (char c : utf8)
        name += c == '/' ? '\\' : c;
    if (name.empty() || name[0] == '\\' || name.find(':') != std::string::npos) {
        Fail(r, at, key, "must be a relative name");
        return "";
    }
    size_t start = 0;
    while (start <= name.size()) {
        const size_t end = std::min(name.find('\\', start), name.size());
        const std::string part = name.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") {
            Fail(r, at, key, "must not contain empty, \".\" or \"..\" parts");
            return "";
        }
        const std::string problem = NamePartProblem(part);
        if (!problem.empty()) {
            Fail(r, at, key, problem);
            return "";
        }
        start = end + 1;
    }
    std::string converted;
    if (!ToCodePage(r, at, key, name, converted))
        return "";
    if (folderLength + converted.size() > PATH_LIMIT) {
        Fail(r, at, key, "is too long: with its folder it would not fit in 259 bytes");
        return "";
    }
    return converted;
}

size_t FolderLength(const Reader& r, int root)
{
    if (root == 1)
        return strlen(SystemFolderExample);
    if (root == 2)
        return strlen(WindowsFolderExample);
    return strlen(ProgramFilesExample) + r.productInCodePage.size() + 1;
}

std::string RootedName(Reader& r, Node at, const std::string& key, const std::string& utf8, size_t folderLength)
{
    const std::string name = RelativeName(r, at, key, utf8, folderLength);
    return name.empty() ? name : "\\" + name;
}

} // namespace manifest_reading
