// The [[shortcut]] links and the [[registry]] values, each checked against
// the others for names Windows takes as one.
#include "manifest_sections.h"
#include "codepage.h"
#include "windows_names.h"
#include <string.h>

namespace manifest_reading {

namespace {

// The Start menu's folder of programs, which a link's name is measured
// against below the group: the longest usual one.
const char StartMenuExample[] = "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\";

ShortcutEntry ReadShortcut(Reader& r, const toml::table& t, const std::string& path)
{
    CheckKeys(r, t, path, {"target", "target_root", "arguments", "icon", "icon_root", "icon_index", "folder", "name"});
    ShortcutEntry s;
    const std::initializer_list<const char*> roots = {"destination", "system", "windows"};
    s.targetFolder = (int16_t)GetChoice(r, t, path, "target_root", roots, 0);
    s.iconFolder = (int16_t)GetChoice(r, t, path, "icon_root", roots, 0);
    s.linkFolder = (int16_t)GetChoice(r, t, path, "folder", {"group", "desktop", "startup", "sendto", "startmenu"}, 0);
    std::string target, icon, arguments, name;
    if (!Get(r, t, path, "target", target))
        Fail(r, &t, path + ".target", "is missing");
    else
        s.target = RootedName(r, t.get("target"), path + ".target", target, FolderLength(r, s.targetFolder));
    s.icon = "\\";
    if (Get(r, t, path, "icon", icon))
        s.icon = RootedName(r, t.get("icon"), path + ".icon", icon, FolderLength(r, s.iconFolder));
    int64_t index = 0;
    GetInt(r, t, path, "icon_index", -32768, 32767, index);
    s.iconIndex = (int16_t)index;
    Get(r, t, path, "arguments", arguments);
    ToCodePage(r, t.get("arguments"), path + ".arguments", arguments, s.arguments);
    if (s.arguments.size() > COUNT_LIMIT - 1)
        Fail(r, t.get("arguments"), path + ".arguments", "is longer than 32766 bytes");
    if (!Get(r, t, path, "name", name))
        Fail(r, &t, path + ".name", "is missing");
    else
        s.linkName = RelativeName(r, t.get("name"), path + ".name", name,
                                  strlen(StartMenuExample) + r.productInCodePage.size() + 1);
    return s;
}

// Windows compares link names without regard to case, so two links that
// differ only in case would be one file.
void CheckLinkNames(Reader& r, const std::vector<const toml::table*>& tables, const PackageInputs& in)
{
    std::vector<PlacedName> names;
    for (const ShortcutEntry& s : in.shortcuts)
        names.push_back(PlacedName{s.linkFolder, ComparableName(CodePageToUtf8(s.linkName, r.codePage))});
    for (const Clash& c : FindClashes(names, false))
        Fail(r, tables[c.later]->get("name"), Indexed("shortcut", c.later) + ".name",
             "names the same link as " + Indexed("shortcut", c.earlier));
}

// A link into the product's folder to a file the package does not install
// is most likely a typo; one elsewhere may name a file of the machine's.
void CheckLinkTargets(Reader& r, const std::vector<const toml::table*>& tables, const PackageInputs& in)
{
    const int16_t destination = 0; // the root of links and files in the destination folder
    for (size_t i = 0; i < in.shortcuts.size(); i++) {
        const ShortcutEntry& s = in.shortcuts[i];
        const std::u32string target = ComparableName(CodePageToUtf8(s.target, r.codePage));
        bool installed = s.targetFolder != destination || s.target.empty();
        for (size_t k = 1; k < in.files.size() && !installed; k++)
            installed = in.files[k].root == destination &&
                        ComparableName(CodePageToUtf8(in.files[k].relativeName, r.codePage)) == target;
        if (!installed)
            Note(r, tables[i]->get("target"), Indexed("shortcut", i) + ".target",
                 "names no file the package installs in the destination folder");
    }
}

} // namespace

void ReadShortcuts(Reader& r, const toml::table& root, PackageInputs& in)
{
    const std::vector<const toml::table*> shortcuts = GetTables(r, root, "shortcut");
    for (size_t i = 0; i < shortcuts.size(); i++)
        in.shortcuts.push_back(ReadShortcut(r, *shortcuts[i], Indexed("shortcut", i)));
    if (in.shortcuts.size() > COUNT_LIMIT)
        Fail(r, root.get("shortcut"), "shortcut", "more than 32767 shortcuts");
    CheckLinkNames(r, shortcuts, in);
    CheckLinkTargets(r, shortcuts, in);
}

namespace {

// Registry value names reach the install log, whose reader takes at most 199 bytes.
const size_t VALUE_NAME_LIMIT = 199;

RegistryEntry ReadRegistryValue(Reader& r, const toml::table& t, const std::string& path)
{
    CheckKeys(r, t, path, {"root", "key", "name", "string", "number", "stop_on_failure", "message"});
    RegistryEntry v;
    if (!t.get("root"))
        Fail(r, &t, path + ".root", "is missing");
    v.root = (uint8_t)GetChoice(r, t, path, "root", {"HKCR", "HKCU", "HKLM", "HKU", "HKCC"}, 0);
    std::string key, name, text, message;
    if (!Get(r, t, path, "key", key))
        Fail(r, &t, path + ".key", "is missing");
    ToCodePage(r, t.get("key"), path + ".key", key, v.key);
    if (v.key.empty() && t.get("key"))
        Fail(r, t.get("key"), path + ".key", "must not be empty");
    // Windows takes "/" as part of a key's name, and a key below a root
    // does not begin with a separator.
    else if (key.find('/') != std::string::npos)
        Fail(r, t.get("key"), path + ".key", "separates its keys with \"/\": Windows' separator is \"\\\"");
    else if (!key.empty() && key[0] == '\\')
        Fail(r, t.get("key"), path + ".key", "must not begin with \"\\\": it is a path below its root");
    // Asked of the UTF-8 key: a double-byte character may end in 0x5C.
    if (v.key.size() + (key.empty() || key.back() != '\\') > PATH_LIMIT)
        Fail(r, t.get("key"), path + ".key", "is longer than 259 bytes");
    Get(r, t, path, "name", name);
    ToCodePage(r, t.get("name"), path + ".name", name, v.valueName);
    if (v.valueName.size() > VALUE_NAME_LIMIT)
        Fail(r, t.get("name"), path + ".name", "is longer than 199 bytes");
    int64_t number = 0;
    const bool isNumber = GetInt(r, t, path, "number", 0, 0xFFFFFFFFll, number);
    const bool isString = Get(r, t, path, "string", text);
    if (isNumber && isString)
        Fail(r, t.get("string"), path, "a value is either a string or a number");
    if ((isNumber || isString) && v.valueName.empty())
        Fail(r, &t, path + ".name", "a value needs a name; without one only the key is created");
    v.kind = isNumber ? VALUE_NUMBER : VALUE_STRING;
    v.number = (uint32_t)number;
    std::string converted;
    if (!isNumber && ToCodePage(r, t.get("string"), path + ".string", text, converted)) {
        v.data.assign(converted.begin(), converted.end());
        v.data.push_back(0);
        if (v.data.size() > 0xFFFF)
            Fail(r, t.get("string"), path + ".string", "is longer than 65534 bytes");
    }
    bool stop = false;
    Get(r, t, path, "stop_on_failure", stop);
    v.flags = stop ? REGISTRY_STOP_ON_FAILURE : 0;
    if (Get(r, t, path, "message", message) && !stop)
        Fail(r, t.get("message"), path + ".message", "is shown only with stop_on_failure = true");
    ToCodePage(r, t.get("message"), path + ".message", message, v.message);
    if (v.message.size() > COUNT_LIMIT - 1)
        Fail(r, t.get("message"), path + ".message", "is longer than 32766 bytes");
    return v;
}

// A value as Windows finds it: keys and names without regard to case, a key
// with or without its last backslash. Value names may hold backslashes, so a
// 0 keeps key and name apart.
std::u32string ComparableValue(const Reader& r, const RegistryEntry& v)
{
    std::string key = CodePageToUtf8(v.key, r.codePage);
    while (!key.empty() && key.back() == '\\')
        key.pop_back();
    if (key.empty())
        return U"";
    return ComparableName(key) + U'\0' + ComparableName(CodePageToUtf8(v.valueName, r.codePage));
}

void CheckRegistryValues(Reader& r, const std::vector<const toml::table*>& tables, const PackageInputs& in)
{
    std::vector<PlacedName> names;
    for (const RegistryEntry& v : in.registry)
        names.push_back(PlacedName{v.root, ComparableValue(r, v)});
    for (const Clash& c : FindClashes(names, false)) {
        const toml::table& t = *tables[c.later];
        const char* key = t.get("name") ? "name" : "key";
        Fail(r, t.get(key), Join(Indexed("registry", c.later), key),
             "repeats the key and value name of " + Indexed("registry", c.earlier));
    }
}

} // namespace

void ReadRegistry(Reader& r, const toml::table& root, PackageInputs& in)
{
    const std::vector<const toml::table*> values = GetTables(r, root, "registry");
    for (size_t i = 0; i < values.size(); i++)
        in.registry.push_back(ReadRegistryValue(r, *values[i], Indexed("registry", i)));
    if (in.registry.size() > COUNT_LIMIT)
        Fail(r, root.get("registry"), "registry", "more than 32767 registry values");
    CheckRegistryValues(r, values, in);
}

} // namespace manifest_reading
