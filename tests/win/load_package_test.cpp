#include "driver/file_bytes.h"
#include "driver/scratch_folder.h"
#include "package/load_package.h"
#include "package/unpack.h"
#include <gtest/gtest.h>
#include <string.h>

namespace {

std::wstring Wide(const std::string& path)
{
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    return wide;
}

struct PackageFiles : ::testing::Test {
    ScratchFolder folder{"load"};
    PackageParts parts;

    void SetUp() override
    {
        parts.script = Bytes(700, 's');
        parts.script[0] = 'S';
        for (int i = 0; i < 5000; i++)
            parts.data.push_back((uint8_t)(i * 7 % 251));
        parts.fileSectionLength = 4000;
        parts.spaceRequired = 3900;
    }

    Bytes Built() const
    {
        Bytes exe(3000, 0xCC);
        AppendPackage(exe, parts);
        return exe;
    }

    std::string Write(const Bytes& exe, const char* name = "setup.exe") const
    {
        const std::string path = folder / name;
        WriteFileBytes(path, exe);
        return path;
    }

    int Load(const Bytes& exe)
    {
        LoadedPackage p{};
        return LoadPackageFile(p, Wide(Write(exe)).c_str());
    }
};

PackageTrailer TrailerOf(const Bytes& exe)
{
    return ParseTrailer(exe.data() + exe.size() - TRAILER_SIZE);
}

void SetTrailer(Bytes& exe, const PackageTrailer& t)
{
    WriteTrailer(t, exe.data() + exe.size() - TRAILER_SIZE);
}

} // namespace

TEST_F(PackageFiles, LoadsBothBlocksEachFollowedByAZeroByte)
{
    LoadedPackage p{};
    ASSERT_EQ(LoadPackageFile(p, Wide(Write(Built())).c_str()), 1);
    ASSERT_EQ(p.scriptSize, parts.script.size());
    ASSERT_EQ(p.dataSize, parts.data.size());
    EXPECT_EQ(memcmp(p.script, parts.script.data(), p.scriptSize), 0);
    EXPECT_EQ(memcmp(p.data, parts.data.data(), p.dataSize), 0);
    EXPECT_EQ(p.script[p.scriptSize], 0);
    EXPECT_EQ(p.data[p.dataSize], 0);
    EXPECT_EQ(p.settings.FileSectionLength, 4000u);
    EXPECT_EQ(p.settings.SpaceRequired, 3900u);
    EXPECT_EQ(p.settings.GroupStepEnabled, 1);
}

TEST_F(PackageFiles, TrailerFlagsBecomeTheInstallWideSettings)
{
    parts.flags = 0xF0;
    LoadedPackage a{};
    ASSERT_EQ(LoadPackageFile(a, Wide(Write(Built(), "a.exe")).c_str()), 1);
    EXPECT_EQ(a.settings.RestartMode, RESTART_REBOOT);
    EXPECT_EQ(a.settings.UninstallRestartMode, RESTART_REBOOT);
    EXPECT_EQ(a.settings.GroupStepEnabled, 0);
    parts.flags = 0x51;
    LoadedPackage b{};
    ASSERT_EQ(LoadPackageFile(b, Wide(Write(Built(), "b.exe")).c_str()), 1);
    EXPECT_EQ(b.settings.RestartMode, RESTART_LOGOFF);
    EXPECT_EQ(b.settings.UninstallRestartMode, RESTART_LOGOFF);
    EXPECT_EQ(b.settings.GroupStepEnabled, 1);
}

TEST_F(PackageFiles, EmptyScriptOrDataStillLoads)
{
    parts.data.clear();
    LoadedPackage p{};
    ASSERT_EQ(LoadPackageFile(p, Wide(Write(Built())).c_str()), 1);
    EXPECT_EQ(p.dataSize, 0u);
    EXPECT_EQ(p.data[0], 0);
    parts.data = Bytes(10, 'd');
    parts.script.clear();
    LoadedPackage q{};
    ASSERT_EQ(LoadPackageFile(q, Wide(Write(Built(), "q.exe")).c_str()), 1);
    EXPECT_EQ(q.script[0], 0);
    EXPECT_EQ(q.data[9], 'd');
}

TEST_F(PackageFiles, SecondLoadFailsAndChangesNothing)
{
    LoadedPackage p{};
    const std::string first = Write(Built(), "first.exe");
    ASSERT_EQ(LoadPackageFile(p, Wide(first).c_str()), 1);
    const LoadedPackage before = p;
    parts.flags = 0xF0;
    parts.data = Bytes(20, 'x');
    EXPECT_EQ(LoadPackageFile(p, Wide(Write(Built(), "second.exe")).c_str()), 0);
    EXPECT_EQ(memcmp(&p, &before, sizeof p), 0);
    EXPECT_EQ(p.data[1], 7);
}

TEST_F(PackageFiles, PayloadOffsetZeroFails)
{
    Bytes exe = Built();
    PackageTrailer t = TrailerOf(exe);
    t.payloadOffset = 0;
    SetTrailer(exe, t);
    EXPECT_EQ(Load(exe), 0);
}

TEST_F(PackageFiles, DamagedPackagesFail)
{
    const Bytes good = Built();
    const PackageTrailer t = TrailerOf(good);

    Bytes truncated(good.begin(), good.end() - 100);
    EXPECT_EQ(Load(truncated), 0) << "truncated";

    Bytes flipped = good;
    flipped[t.payloadOffset + PACK_HEADER_SIZE + 50] ^= 0x04;
    EXPECT_EQ(Load(flipped), 0) << "bit flipped";

    Bytes version = good;
    version[t.payloadOffset + 16] = 3;
    EXPECT_EQ(Load(version), 0) << "version 3";

    Bytes pastEnd = good;
    PackageTrailer beyond = t;
    beyond.packedSize += 30;
    SetTrailer(pastEnd, beyond);
    EXPECT_EQ(Load(pastEnd), 0) << "payload past the end";

    Bytes tooSmall = good;
    PackageTrailer shrunk = t;
    shrunk.dataSize = 100;
    SetTrailer(tooSmall, shrunk);
    EXPECT_EQ(Load(tooSmall), 0) << "stream larger than its area";

    EXPECT_EQ(Load(Bytes(20, 0)), 0) << "shorter than a trailer";
    EXPECT_EQ(Load(good), 1) << "the undamaged package";
}

TEST_F(PackageFiles, ExecutableWithNothingAppendedFails)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(NULL, self, MAX_PATH);
    LoadedPackage p{};
    EXPECT_EQ(LoadPackageFile(p, self), 0);
    EXPECT_EQ(LoadPackageFile(p, Wide(folder / "missing.exe").c_str()), 0);
    EXPECT_EQ(p.data, nullptr);
}
