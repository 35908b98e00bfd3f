// A program for the tests that start programs: writes the arguments it was
// given, its own name first, one per line into the file its first argument
// names, waits the milliseconds a third argument gives, and ends with the
// exit code its second argument gives.
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 99;
    FILE* out = fopen(argv[1], "wb");
    if (!out)
        return 98;
    for (int i = 0; i < argc; i++)
        fprintf(out, "%s\n", argv[i]);
    fclose(out);
    if (argc > 3)
        Sleep((DWORD)atoi(argv[3]));
    return atoi(argv[2]);
}
