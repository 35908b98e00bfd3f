#include "windows_names.h"
#include "codepage.h"
#include <algorithm>
#include <map>
#ifdef _WIN32
#include <windows.h>
#else
#include <locale.h>
#include <wctype.h>
#endif

namespace {

const std::u32string Devices[] = {U"CON", U"PRN", U"AUX", U"NUL"};
const std::u32string Ports[] = {U"COM", U"LPT"};
const std::string ForbiddenCharacters = "<>:\"|?*";

// Windows takes the superscript digits one to three for digits of a port's name.
bool IsPortDigit(char32_t c)
{
    return (c >= U'1' && c <= U'9') || c == U'\u00B9' || c == U'\u00B2' || c == U'\u00B3';
}

// Windows matches the part before any extension, spaces at its end dropped,
// against its device names: "nul.txt" and "Com1 .log" are devices too.
bool IsDeviceName(const std::string& part)
{
    std::u32string stem = ComparableName(part.substr(0, part.find('.')));
    while (!stem.empty() && stem.back() == U' ')
        stem.pop_back();
    for (const std::u32string& device : Devices)
        if (stem == device)
            return true;
    for (const std::u32string& port : Ports)
        if (stem.size() == 4 && stem.compare(0, 3, port) == 0 && IsPortDigit(stem[3]))
            return true;
    return false;
}

bool HasForbiddenCharacter(const std::string& part)
{
    for (char c : part)
        if ((unsigned char)c < 0x20 || ForbiddenCharacters.find(c) != std::string::npos)
            return true;
    return false;
}

using Key = std::pair<int, std::u32string>;

// Every folder a name lies in, outermost first.
std::vector<std::u32string> FoldersOf(const std::u32string& name)
{
    std::vector<std::u32string> folders;
    for (size_t at = name.find(U'\\'); at != std::u32string::npos; at = name.find(U'\\', at + 1))
        folders.push_back(name.substr(0, at));
    return folders;
}

// A name used by two entries, and where each name is first used.
std::vector<Clash> SameNames(const std::vector<PlacedName>& names, std::map<Key, size_t>& first)
{
    std::vector<Clash> clashes;
    for (size_t i = 0; i < names.size(); i++) {
        if (names[i].name.empty())
            continue;
        const auto added = first.emplace(Key{names[i].place, names[i].name}, i);
        if (!added.second)
            clashes.push_back(Clash{i, added.first->second, CLASH_SAME});
    }
    return clashes;
}

// A name one entry gives a file and another a folder: reported at every
// entry inside a file, and once at a file that comes after a folder's users.
std::vector<Clash> FilesUsedAsFolders(const std::vector<PlacedName>& names, const std::map<Key, size_t>& files)
{
    std::vector<Clash> clashes;
    std::vector<bool> reported(names.size(), false);
    for (size_t i = 0; i < names.size(); i++)
        for (const std::u32string& folder : FoldersOf(names[i].name)) {
            const auto file = files.find(Key{names[i].place, folder});
            if (file == files.end())
                continue;
            const size_t f = file->second;
            if (f < i) {
                clashes.push_back(Clash{i, f, CLASH_INSIDE_FILE});
                break;
            }
            if (!reported[f])
                clashes.push_back(Clash{f, i, CLASH_FOLDER_AS_FILE});
            reported[f] = true;
        }
    return clashes;
}

} // namespace

std::string NamePartProblem(const std::string& part)
{
    if (HasForbiddenCharacter(part))
        return "has a character Windows does not allow in file names";
    if (part.back() == '.' || part.back() == ' ')
        return "has a part that ends in a dot or a space, which Windows drops";
    if (IsDeviceName(part))
        return "has a part Windows keeps for a device (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9)";
    return "";
}

bool IsInstallFileName(const std::string& part)
{
    const std::u32string name = ComparableName(part);
    const auto digit = [](char32_t c) { return c >= U'0' && c <= U'9'; };
    return name.size() == 11 && name.compare(0, 4, U"QXUN") == 0 && name.compare(7, 4, U".UQX") == 0 &&
           std::all_of(name.begin() + 4, name.begin() + 7, digit);
}

namespace {

#ifdef _WIN32
// Windows' own upper case, which its file systems compare names in, of the
// characters that take one unit of UTF-16.
char32_t UpperCase(char32_t c)
{
    const wchar_t w = (wchar_t)c;
    wchar_t upper = w;
    return c <= 0xFFFF && LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, &w, 1, &upper, 1) == 1 ? upper : c;
}
#else
// Case as Unicode gives it, whatever locale qpack runs in; a C library
// without that locale compares ASCII letters only.
char32_t UpperCase(char32_t c)
{
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", (locale_t)0);
    return (char32_t)(unicode ? towupper_l((wint_t)c, unicode) : towupper((wint_t)c));
}
#endif

} // namespace

std::u32string ComparableName(const std::string& utf8)
{
    std::u32string name = Utf8ToCodePoints(utf8);
    for (char32_t& c : name)
        c = UpperCase(c);
    return name;
}

std::vector<Clash> FindClashes(const std::vector<PlacedName>& names, bool withFolders)
{
    std::map<Key, size_t> files;
    std::vector<Clash> clashes = SameNames(names, files);
    if (withFolders) {
        const std::vector<Clash> folders = FilesUsedAsFolders(names, files);
        clashes.insert(clashes.end(), folders.begin(), folders.end());
    }
    std::stable_sort(clashes.begin(), clashes.end(), [](const Clash& a, const Clash& b) { return a.later < b.later; });
    return clashes;
}
