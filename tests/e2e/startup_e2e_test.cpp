// The setup program from start to the confirmation question, with good and
// damaged packages, driven through its windows.
#include "harness.h"
#include "package/unpack.h"
#include "tests/common/file_bytes.h"
#include "tests/common/scratch_folder.h"
#include "tests/common/typical_package.h"
#include <gtest/gtest.h>
#include <stdlib.h>

namespace {

const char CorruptedText[] = "Setup file is corrupted.";

struct SetupRun : ::testing::Test {
    ScratchFolder work{"e2e-startup"};
    std::string temp = work / "temp\\";
    Bytes stub;

    void SetUp() override
    {
        const char* path = getenv("QI_SETUP_STUB");
        ASSERT_TRUE(path) << "QI_SETUP_STUB names the setup program without a package";
        stub = ReadFileBytes(path);
        ASSERT_GT(stub.size(), 1000u) << path;
        CreateDirectoryA(temp.c_str(), NULL);
    }

    Bytes Packaged() const
    {
        Bytes exe = stub;
        PackageParts parts;
        parts.script = TypicalScript();
        parts.data = EmptyDataBlock();
        AppendPackage(exe, parts);
        return exe;
    }

    std::string Save(const Bytes& exe, const std::string& name)
    {
        const std::string path = work / name;
        WriteFileBytes(path, exe);
        EXPECT_EQ(ReadFileBytes(path).size(), exe.size()) << path;
        return path;
    }
};

// Message boxes before the background window exists have no owner and stay on top.
void ExpectSystemModalWithoutOwner(HWND box)
{
    EXPECT_EQ(GetWindow(box, GW_OWNER), (HWND)NULL);
    EXPECT_TRUE(GetWindowLongPtrA(box, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

} // namespace

TEST_F(SetupRun, AsksThePackagesQuestionAndNoLeavesNothingBehind)
{
    RunningProgram setup;
    ASSERT_TRUE(StartProgram(setup, Save(Packaged(), "setup.exe"), temp));
    HWND box = WaitForWindow(setup, "#32770", TypicalTexts()[1].c_str());
    ASSERT_TRUE(box) << "no window captioned with string slot 1 appeared";
    EXPECT_EQ(MessageBoxText(box), TypicalTexts()[8]);
    ExpectSystemModalWithoutOwner(box);
    SaveScreenshot("startup-question");
    ASSERT_TRUE(PressButton(box, IDNO));
    EXPECT_EQ(WaitForExit(setup), 0);
    EXPECT_TRUE(FolderEntries(temp).empty());
}

class DamagedSetup : public SetupRun, public ::testing::WithParamInterface<const char*> {
protected:
    Bytes Damaged() const
    {
        const std::string kind = GetParam();
        Bytes exe = Packaged();
        const PackageTrailer t = ParseTrailer(exe.data() + exe.size() - TRAILER_SIZE);
        if (kind == "truncated") {
            exe.resize(exe.size() - 700);
        } else if (kind == "bit-flipped") {
            exe[t.payloadOffset + PACK_HEADER_SIZE + 300] ^= 0x20;
        } else if (kind == "wrong-version") {
            exe[t.payloadOffset + 16] = 3;
        } else if (kind == "trailer-past-end") {
            PackageTrailer beyond = t;
            beyond.packedSize += 4096;
            WriteTrailer(beyond, exe.data() + exe.size() - TRAILER_SIZE);
        } else {
            exe = stub;
        }
        return exe;
    }
};

TEST_P(DamagedSetup, ShowsTheCorruptedMessageAndEnds)
{
    RunningProgram setup;
    ASSERT_TRUE(StartProgram(setup, Save(Damaged(), std::string(GetParam()) + ".exe"), temp));
    HWND box = WaitForWindow(setup, "#32770", "Error");
    ASSERT_TRUE(box) << "no error message for a " << GetParam() << " package";
    EXPECT_EQ(MessageBoxText(box), CorruptedText);
    ExpectSystemModalWithoutOwner(box);
    SaveScreenshot(std::string("corrupted-") + GetParam());
    ASSERT_TRUE(PressButton(box, IDOK));
    EXPECT_EQ(WaitForExit(setup), 0);
    EXPECT_TRUE(FolderEntries(temp).empty());
}

INSTANTIATE_TEST_SUITE_P(Packages, DamagedSetup,
                         ::testing::Values("truncated", "bit-flipped", "wrong-version", "trailer-past-end",
                                           "nothing-appended"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (c == '-')
                                     c = '_';
                             return name;
                         });
