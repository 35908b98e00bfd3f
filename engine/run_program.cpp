#include "run_program.h"
#include "base/paths.h"
#include <string.h>
#include <windows.h>

int RunProgram(const char* program, const char* arguments, int wait)
{
    char* commandLine = nullptr;
    if (arguments) {
        const size_t size = strlen(program) + strlen(arguments) + 4;
        commandLine = (char*)HeapAlloc(GetProcessHeap(), 0, size);
        if (!commandLine)
            return -1;
        wsprintfA(commandLine, "\"%s\" ", program);
        AppendText(commandLine, size, arguments);
    }
    const int result = StartProgram(program, commandLine, wait);
    if (commandLine)
        HeapFree(GetProcessHeap(), 0, commandLine);
    return result;
}

int StartProgram(const char* program, char* commandLine, int wait)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process;
    const BOOL started = CreateProcessA(program, commandLine, NULL, NULL, FALSE,
                                        CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS, NULL, NULL, &startup,
                                        &process);
    if (!started)
        return -1;
    DWORD exitCode = 0;
    if (wait) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &exitCode);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return (int)exitCode;
}
