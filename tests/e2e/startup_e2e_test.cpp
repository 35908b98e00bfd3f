// The setup program from start to the confirmation question, with good and
// damaged packages, driven through its windows.
#include "driver/file_bytes.h"
#include "driver/scratch_folder.h"
#include "driver/typical_package.h"
#include "driver/window_driver.h"
#include "package/byte_cursor.h"
#include "package/crc32.h"
#include "package/unpack.h"
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

    Bytes Packaged(uint8_t version = PACK_VERSION) const
    {
        Bytes exe = stub;
        PackageParts parts;
        parts.script = TypicalScript();
        parts.data = EmptyDataBlock();
        parts.method.version = version;
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

TEST_F(SetupRun, LoadsAndAsksFromAFolderTheCodePageCannotSpell)
{
    const std::wstring folder = Utf16(work / "") + Utf16("Установка Ωμέγα 安装");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), NULL));
    const std::wstring exe = folder + L"\\setup.exe";
    ASSERT_TRUE(CopyFileW(Utf16(Save(Packaged(), "setup.exe")).c_str(), exe.c_str(), FALSE));
    RunningProgram setup;
    ASSERT_TRUE(StartProgram(setup, exe, temp));
    HWND box = WaitForWindow(setup, "#32770", TypicalTexts()[1].c_str());
    ASSERT_TRUE(box) << "no question; the setup did not load from its folder";
    EXPECT_EQ(MessageBoxText(box), TypicalTexts()[8]);
    ASSERT_TRUE(PressButton(box, IDNO));
    EXPECT_EQ(WaitForExit(setup), 0);
    DeleteFileW(exe.c_str());
    RemoveDirectoryW(folder.c_str());
}

class DamagedSetup : public SetupRun, public ::testing::WithParamInterface<const char*> {
protected:
    // LZMA streams the CRC does not give away: the CRC is made to fit each.
    Bytes DamagedLzma(const std::string& kind) const
    {
        Bytes exe = Packaged(PACK_VERSION_LZMA);
        PackageTrailer t = ParseTrailer(exe.data() + exe.size() - TRAILER_SIZE);
        uint8_t* header = &exe[t.payloadOffset];
        if (kind == "lzma-truncated") {
            t.packedSize -= 16;
            exe.erase(exe.end() - TRAILER_SIZE - 16, exe.end() - TRAILER_SIZE);
        } else if (kind == "lzma-flipped") {
            header[PACK_HEADER_SIZE + (t.packedSize - PACK_HEADER_SIZE) / 2] ^= 0x20;
        } else { // a claim one byte past what the stream holds
            t.dataSize += 1;
            StoreU32(header + 8, t.scriptSize + t.dataSize);
        }
        WriteTrailer(t, exe.data() + exe.size() - TRAILER_SIZE);
        StoreU32(&exe[t.payloadOffset + 12], Crc32(&exe[t.payloadOffset + PACK_HEADER_SIZE],
                                                    t.packedSize - PACK_HEADER_SIZE));
        return exe;
    }

    Bytes Damaged() const
    {
        const std::string kind = GetParam();
        Bytes exe = Packaged();
        const PackageTrailer t = ParseTrailer(exe.data() + exe.size() - TRAILER_SIZE);
        if (kind == "truncated") {
            exe.resize(exe.size() - 700);
        } else if (kind == "bit-flipped") {
            exe[t.payloadOffset + PACK_HEADER_SIZE + 300] ^= 0x20;
        } else if (kind == "unknown-method") {
            exe[t.payloadOffset + 16] = 4;
        } else if (kind.compare(0, 5, "lzma-") == 0) {
            exe = DamagedLzma(kind);
        } else if (kind == "sizes-disagree") {
            PackageTrailer more = t;
            more.dataSize += 1;
            WriteTrailer(more, exe.data() + exe.size() - TRAILER_SIZE);
        } else if (kind == "claim-beyond-stream") {
            PackageTrailer more = t;
            more.dataSize += 1;
            WriteTrailer(more, exe.data() + exe.size() - TRAILER_SIZE);
            StoreU32(&exe[t.payloadOffset + 8], t.scriptSize + t.dataSize + 1);
        } else if (kind == "huge-claim") {
            PackageTrailer huge = t;
            huge.scriptSize = huge.dataSize = 0x7FFF0000u;
            WriteTrailer(huge, exe.data() + exe.size() - TRAILER_SIZE);
            StoreU32(&exe[t.payloadOffset + 8], 0xFFFE0000u);
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
    // A claim of gigabytes must be refused from the sizes, not by unpacking
    // zeros for minutes; the bound leaves room for a slow machine.
    HWND box = WaitForWindow(setup, "#32770", "Error", 5000);
    ASSERT_TRUE(box) << "no error message within 5 s for a " << GetParam() << " package";
    EXPECT_EQ(MessageBoxText(box), CorruptedText);
    ExpectSystemModalWithoutOwner(box);
    SaveScreenshot(std::string("corrupted-") + GetParam());
    ASSERT_TRUE(PressButton(box, IDOK));
    EXPECT_EQ(WaitForExit(setup), 0);
    EXPECT_TRUE(FolderEntries(temp).empty());
}

INSTANTIATE_TEST_SUITE_P(Packages, DamagedSetup,
                         ::testing::Values("truncated", "bit-flipped", "unknown-method", "sizes-disagree",
                                           "claim-beyond-stream", "huge-claim", "trailer-past-end",
                                           "nothing-appended", "lzma-truncated", "lzma-flipped",
                                           "lzma-claim-beyond-stream"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (c == '-')
                                     c = '_';
                             return name;
                         });

// A signature's certificate table follows the trailer: the signed setup
// finds its package before it, and a payload byte changed after signing is
// still found out.
TEST_F(SetupRun, SignedSetupAsksItsQuestionAndAFlippedPayloadByteIsCorruption)
{
    const char* packages = getenv("QI_E2E_PACKAGES");
    ASSERT_TRUE(packages);
    Bytes exe = ReadFileBytes(std::string(packages) + "/signed.exe");
    const uint32_t end = PackageEnd(exe.data(), (uint32_t)exe.size());
    ASSERT_LT(end, exe.size()) << "the setup carries a certificate table";
    RunningProgram setup;
    ASSERT_TRUE(StartProgram(setup, Save(exe, "signed.exe"), temp));
    HWND box = WaitForWindow(setup, "#32770", "Setup");
    ASSERT_TRUE(box) << "no question from the signed setup";
    SaveScreenshot("startup-signed-question");
    ASSERT_TRUE(PressButton(box, IDNO));
    EXPECT_EQ(WaitForExit(setup), 0);

    const PackageTrailer t = ParseTrailer(exe.data() + end - TRAILER_SIZE);
    exe[t.payloadOffset + PACK_HEADER_SIZE + t.packedSize / 2] ^= 0x20;
    RunningProgram damaged;
    ASSERT_TRUE(StartProgram(damaged, Save(exe, "signed-flipped.exe"), temp));
    box = WaitForWindow(damaged, "#32770", "Error", 5000);
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box), CorruptedText);
    ASSERT_TRUE(PressButton(box, IDOK));
    EXPECT_EQ(WaitForExit(damaged), 0);
}
