// The process starts here instead of in the C runtime's start-up code, which
// would more than double the size of the program for services it does not
// use (command-line parsing, floating-point and thread-local storage set-up).
// msvcrt.dll initialises itself when Windows loads it; __main runs the
// constructors of the program's global objects.
#include <windows.h>

extern "C" void __main();

// The program ends with ExitProcess, which releases every handle and all
// memory, so destructors of global objects have nothing left to do and are
// not registered.
extern "C" int atexit(void (*)(void))
{
    return 0;
}

extern "C" __attribute__((force_align_arg_pointer, noreturn)) void SetupEntry()
{
    __main();
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, GetCommandLineA(), SW_SHOWDEFAULT));
}
