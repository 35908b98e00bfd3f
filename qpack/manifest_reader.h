// What every section of a manifest is read with: the reader's state, values
// taken by type with each mistake reported, and names for the target machine.
#pragma once
#include "manifest.h"
#include <toml++/toml.h>
#include <initializer_list>
#include <string>
#include <vector>

// Named, not anonymous: the files of the manifest share it, and its short
// names stay out of the rest of qpack.
namespace manifest_reading {

// Bytes a path may take, its terminator not counted.
const size_t PATH_LIMIT = 259;
// Record counts and the lengths of signed texts are 16-bit signed values.
const size_t COUNT_LIMIT = 32767;
// The setup program's folder, which a name beside it is measured against.
const char SetupFolderExample[] = "C:\\";

struct Reader {
    std::string file;   // the manifest, as named on the command line
    std::string folder; // the manifest's folder, for the paths it names
    int codePage = 1252;
    std::string product;
    // The product's name in the code page: the destination folder and the
    // Start-menu group are named after it, and their limits count bytes.
    std::string productInCodePage;
    std::vector<std::string>& errors;
    std::vector<std::string>& inputPaths;
    std::vector<std::string>& notes;
    const EncodeProgress* progress = nullptr; // told the bytes read so far
    size_t bytesRead = 0;
};

using Node = const toml::node*;

void Fail(Reader& r, Node at, const std::string& key, const std::string& what);
// What will work but may not be what was meant.
void Note(Reader& r, Node at, const std::string& key, const std::string& what);

// Whether no mistake was reported since the reader had `mistakes` of them. A
// table with a mistake is not handed on: what checks the tables against each
// other would find its refused values empty or default.
inline bool Unrefused(const Reader& r, size_t mistakes) { return r.errors.size() == mistakes; }

std::string Join(const std::string& path, const std::string& key);

void CheckKeys(Reader& r, const toml::table& t, const std::string& path, std::initializer_list<const char*> known);

// The value of key when present and of type T; a value of another type is reported.
template <typename T> bool Get(Reader& r, const toml::table& t, const std::string& path, const char* key, T& out)
{
    Node n = t.get(key);
    if (!n)
        return false;
    if (const auto* v = n->as<T>()) {
        out = v->get();
        return true;
    }
    Fail(r, n, Join(path, key), "has the wrong type");
    return false;
}

bool GetInt(Reader& r, const toml::table& t, const std::string& path, const char* key, int64_t low, int64_t high,
            int64_t& out);

// A keyword value out of a fixed list; returns its index or fallback when absent.
int GetChoice(Reader& r, const toml::table& t, const std::string& path, const char* key,
              std::initializer_list<const char*> words, int fallback);

const toml::table* GetTable(Reader& r, const toml::table& t, const std::string& path, const char* key);

// The tables of an array of tables such as [[file]].
std::vector<const toml::table*> GetTables(Reader& r, const toml::table& t, const char* key);

std::string Indexed(const char* key, size_t i);

// A path the manifest names, relative to the manifest's folder.
std::string Resolve(const Reader& r, const std::string& path);

// Reads a file the manifest names, which the builder's output must then not replace.
bool ReadInput(Reader& r, const std::string& name, std::vector<uint8_t>& bytes, std::string& failure);

std::string BaseName(const std::string& path);

std::string CannotHold(const Reader& r, const std::string& utf8);

bool ToCodePage(Reader& r, Node at, const std::string& key, const std::string& utf8, std::string& out);

// A name below a folder of the target machine: relative, with sub-folders
// separated by backslashes, never climbing out. Returns it in the package's
// code page, or "" after reporting. It is split and checked in UTF-8: in a
// double-byte code page the second byte of a character may be 0x5C.
std::string RelativeName(Reader& r, Node at, const std::string& key, const std::string& utf8, size_t folderLength);

// Bytes of the folder a name of this root goes into, on a usual machine; the
// destination is the product's folder below Program Files.
size_t FolderLength(const Reader& r, int root);

// A relative name with the leading backslash the install joins it to its folder by.
std::string RootedName(Reader& r, Node at, const std::string& key, const std::string& utf8, size_t folderLength);

} // namespace manifest_reading
