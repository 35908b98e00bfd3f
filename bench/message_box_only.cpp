// The least a setup program can do before its question: show it. The load
// benchmark measures the setup program's start against this one's.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    MessageBoxA(NULL, "This will install Demo 1.0 on your computer. Do you want to continue?", "Demo Setup",
                MB_SYSTEMMODAL | MB_ICONQUESTION | MB_YESNO);
    return 0;
}
