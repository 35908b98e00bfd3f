// Starting the package's programs: exit codes, not waiting, programs that
// cannot start, and a program in a folder with a space in its name that
// gets its arguments as they were given.
#include "driver/file_bytes.h"
#include "driver/scratch_folder.h"
#include "engine/run_program.h"
#include <gtest/gtest.h>

namespace {

struct RunningPrograms : ::testing::Test {
    ScratchFolder work{"run-program"};
    std::string folder = work / "with space\\";
    std::string program = folder + "echo args.exe";
    std::string out = work / "args.txt";

    void SetUp() override
    {
        CreateDirectoryA(folder.c_str(), NULL);
        char self[MAX_PATH];
        GetModuleFileNameA(NULL, self, MAX_PATH);
        std::string helper = self;
        helper.replace(helper.rfind('\\') + 1, std::string::npos, "echo_args.exe");
        ASSERT_TRUE(CopyFileA(helper.c_str(), program.c_str(), FALSE));
    }

    std::string Written() const
    {
        const Bytes bytes = ReadFileBytes(out);
        return std::string(bytes.begin(), bytes.end());
    }
};

} // namespace

TEST_F(RunningPrograms, WaitedForProgramGivesItsExitCodeAndGetsItsArgumentsWhole)
{
    EXPECT_EQ(RunProgram(program.c_str(), (out + " 7 first \"two words\"").c_str(), 1), 7);
    EXPECT_EQ(Written(), program + "\n" + out + "\n7\nfirst\ntwo words\n");
}

TEST_F(RunningPrograms, ProgramNotWaitedForGivesZeroAtOnce)
{
    EXPECT_EQ(RunProgram(program.c_str(), (out + " 5").c_str(), 0), 0);
    for (int i = 0; i < 100 && Written().empty(); i++)
        Sleep(50);
    EXPECT_EQ(Written(), program + "\n" + out + "\n5\n");
}

TEST_F(RunningPrograms, ProgramThatCannotStartGivesMinusOne)
{
    EXPECT_EQ(RunProgram((folder + "missing.exe").c_str(), "x", 1), -1);
    EXPECT_EQ(RunProgram(program.c_str(), nullptr, 1), 99) << "no command line: the program sees only its name";
}
