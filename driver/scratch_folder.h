// A folder of its own for one test under the temporary folder, removed with
// everything in it when the test ends.
#pragma once
#include <string>
#include <vector>
#include <windows.h>

struct ScratchFolder {
    std::string path; // ends in a backslash

    explicit ScratchFolder(const char* name)
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path = std::string(temp) + "qi-" + name + "-" + std::to_string(GetCurrentProcessId()) + "\\";
        Remove(path);
        CreateDirectoryA(path.c_str(), NULL);
    }
    ~ScratchFolder() { Remove(path); }

    std::string operator/(const std::string& name) const { return path + name; }

    static void Remove(const std::string& folder)
    {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                if (name == "." || name == "..")
                    continue;
                const std::string full = folder + name;
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    Remove(full + "\\");
                else
                    DeleteFileA(full.c_str());
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
        RemoveDirectoryA(folder.c_str());
    }
};

inline bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Names of the files and folders in a folder (path ends in a backslash).
inline std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}
