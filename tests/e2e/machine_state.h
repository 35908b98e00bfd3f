// The state of the machine where installs write, to compare before and after
// an install that was rolled back or a product that was removed.
#pragma once
#include "driver/window_driver.h"
#include <map>
#include <string>

// Every file and folder below a folder, with the sizes of the files.
inline void ListFiles(const std::string& folder, std::map<std::string, long long>& out)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = found.cFileName, path = folder + name;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[path + "\\"] = -1;
            ListFiles(path + "\\", out);
        } else {
            out[path] = (long long)found.nFileSizeHigh << 32 | found.nFileSizeLow;
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

// Every key and value below a key, the values with their bytes; Wine's own
// keys and the shell's, which they change as they run, are left out.
inline void ListKeys(HKEY root, const std::string& key, std::map<std::string, long long>& out, std::string& values)
{
    if (key == "Software\\Wine" || key == "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer")
        return;
    HKEY opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return;
    out[key] = 0;
    char name[1024];
    BYTE data[4096];
    for (DWORD i = 0;; i++) {
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (RegEnumValueA(opened, i, name, &nameSize, NULL, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        values += key + "\\" + name + "=" + std::string((const char*)data, dataSize) + "\n";
    }
    for (DWORD i = 0; RegEnumKeyA(opened, i, name, sizeof name) == ERROR_SUCCESS; i++)
        ListKeys(root, key + "\\" + name, out, values);
    RegCloseKey(opened);
}

struct MachineState {
    std::map<std::string, long long> files, keys;
    std::string values;
    bool operator==(const MachineState& o) const { return files == o.files && keys == o.keys && values == o.values; }
};

// The places an install of these packages writes to: the programs' folder,
// the desktop and the Start menu, and the registry of the user and of the
// list of installed programs. (The drive as a whole reaches into the host's
// home folder through the user's shell folders.)
inline MachineState Snapshot()
{
    MachineState s;
    ListFiles("C:\\Program Files\\", s.files);
    ListFiles(ShellFolder("Desktop"), s.files);
    ListFiles(ShellFolder("Start Menu"), s.files);
    ListKeys(HKEY_CURRENT_USER, "Software", s.keys, s.values);
    ListKeys(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", s.keys, s.values);
    return s;
}

inline std::string Differences(const MachineState& before, const MachineState& after)
{
    std::string d;
    for (const auto* pair : {&before.files, &before.keys})
        for (const auto& e : *pair) {
            const auto& other = pair == &before.files ? after.files : after.keys;
            if (!other.count(e.first) || other.at(e.first) != e.second)
                d += "changed or gone: " + e.first + "\n";
        }
    for (const auto* pair : {&after.files, &after.keys})
        for (const auto& e : *pair)
            if (!(pair == &after.files ? before.files : before.keys).count(e.first))
                d += "left behind: " + e.first + "\n";
    if (before.values != after.values)
        d += "registry values differ\n";
    return d;
}
