#include "sound_player.h"
#include "system_library.h"
#include <string.h>

typedef BOOL(WINAPI* PlaySoundFunction)(const char*, UINT);

// sndPlaySoundA of winmm, which is loaded only when a package brings a sound.
static PlaySoundFunction Play;

static BOOL PlaySoundFile(const char* path, UINT flags)
{
    if (!Play) {
        HMODULE winmm = LoadSystemLibrary("winmm.dll");
        Play = winmm ? (PlaySoundFunction)(void*)GetProcAddress(winmm, "sndPlaySoundA") : nullptr;
    }
    return Play ? Play(path, flags) : FALSE;
}

void SetSoundFile(SoundPlayer& player, const char* path)
{
    lstrcpynA(player.path, path, sizeof player.path);
}

static DWORD WINAPI RepeatSound(void* parameter)
{
    SoundThreadParameters& p = *(SoundThreadParameters*)parameter;
    for (;;) {
        const BOOL played = PlaySoundFile(p.path, SND_NODEFAULT);
        Sleep(p.interval);
        // A sound that cannot be played ends the repetition by itself.
        if (!played || !*p.running)
            break;
        if (p.remaining != 0 && --p.remaining == 0)
            break;
    }
    return 1;
}

int StartSound(SoundPlayer& player, uint8_t enabled, uint32_t count)
{
    if (!enabled || count == 1)
        return PlaySoundFile(player.path, SND_ASYNC | SND_NODEFAULT);
    player.parameters = SoundThreadParameters{player.path, player.interval, count, &player.running};
    InterlockedExchange(&player.running, 1);
    DWORD id;
    player.thread = CreateThread(NULL, 0, RepeatSound, &player.parameters, 0, &id);
    return player.thread != NULL;
}

// Silencing the sound ends an asynchronous play, whose file stays open while
// it lasts, and cuts short the thread's current repetition.
void StopSound(SoundPlayer& player, int wait)
{
    InterlockedExchange(&player.running, 0);
    if (!wait)
        return;
    if (Play)
        Play(NULL, 0);
    if (!player.thread)
        return;
    WaitForSingleObject(player.thread, INFINITE);
    CloseHandle(player.thread);
    player.thread = NULL;
}
