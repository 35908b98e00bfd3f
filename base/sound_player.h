// The background sound: one asynchronous play, or a thread of its own that
// plays the sound over and over with a pause between, until it is stopped.
#pragma once
#include <stdint.h>
#include <windows.h>

struct SoundThreadParameters {
    const char* path;
    uint32_t interval;
    uint32_t remaining; // plays left; 0 means without limit
    volatile LONG* running;
};

struct SoundPlayer {
    char path[260];
    uint32_t interval; // pause after each play, in milliseconds
    volatile LONG running;
    HANDLE thread;
    SoundThreadParameters parameters;
};

void SetSoundFile(SoundPlayer& player, const char* path);
// enabled 0 or count 1 plays once, asynchronously, without a thread; otherwise
// a thread repeats the sound count times (0: until stopped). Nonzero on success.
int StartSound(SoundPlayer& player, uint8_t enabled, uint32_t count);
// Clears the running flag; with wait, also silences the sound and returns
// only when the thread has ended, so that the sound file can be deleted.
void StopSound(SoundPlayer& player, int wait);
