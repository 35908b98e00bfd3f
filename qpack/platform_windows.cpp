#include "platform.h"
#include "wide_text.h"
#include <windows.h>
#include <io.h>
#include <shellapi.h>
#include <stdlib.h>

namespace {

UINT consoleCodePage;

void RestoreConsole()
{
    SetConsoleOutputCP(consoleCodePage);
}

// An argument as the program's C runtime splits its command line again:
// quoted, a quote escaped, and the backslashes before a quote doubled.
std::wstring Quoted(const std::string& argument)
{
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : WideFromUtf8(argument)) {
        if (c == L'\\') {
            backslashes++;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

} // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv)
{
    // The C runtime's arguments are in the ANSI code page, which cannot hold
    // every name; the wide command line can.
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; i++)
        arguments.push_back(Utf8FromWide(wide[i], wcslen(wide[i])));
    LocalFree(wide);
    return arguments;
}

void PrepareConsole()
{
    consoleCodePage = GetConsoleOutputCP();
    if (consoleCodePage && SetConsoleOutputCP(CP_UTF8))
        atexit(RestoreConsole);
}

bool IsTerminal(FILE* stream)
{
    return _isatty(_fileno(stream));
}

bool RunProgram(const std::vector<std::string>& arguments, int& exitCode)
{
    std::wstring commandLine;
    for (const std::string& a : arguments)
        commandLine += (commandLine.empty() ? L"" : L" ") + Quoted(a);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(process.hProcess, INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.hProcess, &code))
        code = (DWORD)-1;
    CloseHandle(process.hProcess);
    exitCode = (int)code;
    return true;
}

DefaultSetupProgram FindDefaultStub()
{
    // qsetup.exe beside qpack.exe, as the two are shipped.
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, &path[0], (DWORD)path.size());
    path.resize(length);
    return {Utf8FromWide(path.c_str(), path.find_last_of(L"\\/") + 1) + "qsetup.exe", "beside qpack"};
}
