#include "base/sound_player.h"
#include <gtest/gtest.h>

namespace {

SoundPlayer NewPlayer(uint32_t interval)
{
    SoundPlayer p = {"", interval, 0, NULL, {nullptr, 0, 0, nullptr}};
    SetSoundFile(p, "C:\\no such folder\\no sound.wav");
    return p;
}

} // namespace

TEST(SoundPlayer, PlayingOnceStartsNoThread)
{
    SoundPlayer p = NewPlayer(500);
    StartSound(p, 1, 1);
    EXPECT_EQ(p.thread, (HANDLE)NULL);
    StartSound(p, 0, 0);
    EXPECT_EQ(p.thread, (HANDLE)NULL);
    StopSound(p, 1);
}

TEST(SoundPlayer, SoundThatCannotBePlayedEndsTheRepetitionByItself)
{
    SoundPlayer p = NewPlayer(100);
    ASSERT_TRUE(StartSound(p, 1, 0));
    ASSERT_NE(p.thread, (HANDLE)NULL);
    EXPECT_EQ(WaitForSingleObject(p.thread, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(p.running, 1);
    StopSound(p, 1);
    EXPECT_EQ(p.thread, (HANDLE)NULL);
}

TEST(SoundPlayer, StopWaitsForTheThreadToEnd)
{
    SoundPlayer p = NewPlayer(600);
    ASSERT_TRUE(StartSound(p, 1, 0));
    HANDLE thread;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), p.thread, GetCurrentProcess(), &thread, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    Sleep(50); // the thread is in its pause now
    EXPECT_EQ(WaitForSingleObject(thread, 0), (DWORD)WAIT_TIMEOUT);
    StopSound(p, 1);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    EXPECT_EQ(p.running, 0);
    EXPECT_EQ(p.thread, (HANDLE)NULL);
    CloseHandle(thread);
}
