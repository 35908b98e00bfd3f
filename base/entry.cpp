// The process starts here instead of in the C runtime's start-up code, which
// would more than double the size of the program for services it does not
// use (command-line parsing, floating-point and thread-local storage set-up).
// msvcrt.dll initialises itself when Windows loads it.
#include <windows.h>

// The linker lists the constructors of global objects between a -1 and a 0.
extern "C" void (*__CTOR_LIST__[])();

// Runs them last first, as the C++ runtime's start-up would, without its
// unwinding tables.
static void ConstructGlobals()
{
    int n = 1;
    while (__CTOR_LIST__[n])
        n++;
    while (--n > 0)
        __CTOR_LIST__[n]();
}

// The program ends with ExitProcess, which releases every handle and all
// memory, so destructors of global objects have nothing left to do and are
// not registered.
extern "C" int atexit(void (*)(void))
{
    return 0;
}

extern "C" __attribute__((force_align_arg_pointer, noreturn)) void SetupEntry()
{
    ConstructGlobals();
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, GetCommandLineA(), SW_SHOWDEFAULT));
}
