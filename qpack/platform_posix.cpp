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

std::string DefaultStub()
{
    return QI_DEFAULT_STUB;
}
