// The names Windows can hold, and how it compares them: what qpack checks a
// manifest's file, link and registry names against. Names are UTF-8, their
// parts separated by backslashes.
#pragma once
#include <string>
#include <vector>

// What keeps Windows from holding one part of a name (never empty, never "."
// or ".."), or "" when nothing does.
std::string NamePartProblem(const std::string& part);

// Whether a part is a name the install gives its own files in the
// destination folder: "QXUn" with three digits and ".uqx", in any case.
bool IsInstallFileName(const std::string& part);

// A name as Windows compares it: in upper case, character by character.
std::u32string ComparableName(const std::string& utf8);

// A name of the install in its place: a root folder, a link folder or a
// registry root, as a code.
struct PlacedName {
    int place;
    std::u32string name; // comparable; empty for an entry already refused
};

enum ClashKind {
    CLASH_SAME,          // the later entry has the earlier one's name
    CLASH_INSIDE_FILE,   // the later entry needs a folder the earlier one names as a file
    CLASH_FOLDER_AS_FILE // the later entry names as a file a folder the earlier one needs
};

struct Clash {
    size_t later;
    size_t earlier;
    ClashKind kind;
};

// Entries that cannot both be where they say, each reported at the later
// one; folders are looked at only when asked.
std::vector<Clash> FindClashes(const std::vector<PlacedName>& names, bool withFolders);
