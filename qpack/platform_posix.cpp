#include "platform.h"
#include <errno.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

std::vector<std::string> ProgramArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

void PrepareConsole() {}

bool IsTerminal(FILE* stream)
{
    return isatty(fileno(stream));
}

bool RunProgram(const std::vector<std::string>& arguments, int& exitCode)
{
    std::vector<char*> pointers;
    for (const std::string& a : arguments)
        pointers.push_back(const_cast<char*>(a.c_str()));
    pointers.push_back(nullptr);
    pid_t child;
    if (posix_spawnp(&child, pointers[0], nullptr, nullptr, pointers.data(), environ) != 0)
        return false;
    int status = 0;
    pid_t ended;
    while ((ended = waitpid(child, &status, 0)) < 0 && errno == EINTR) {
    }
    exitCode = ended == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return true;
}

DefaultSetupProgram FindDefaultStub()
{
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string folder = n > 0 ? std::string(self, (size_t)n) : std::string();
    folder.erase(folder.find_last_of('/') + 1);
    const DefaultSetupProgram places[] = {{folder + "qsetup.exe", "beside qpack"},
                                          {folder + "../share/qinstall/qsetup.exe", "in the install prefix"},
                                          {QI_DEFAULT_STUB, "in the build tree"}};
    for (const DefaultSetupProgram& place : places)
        if (access(place.path.c_str(), R_OK) == 0)
            return place;
    return places[0];
}
