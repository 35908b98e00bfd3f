// Extraction reads executables of unknown origin: it must never write
// outside its folder and never fail on damage.
#include "crafted_setup.h"
#include "manifest_folder.h"
#include "package/crc32.h"
#include "qpack/extract.h"
#include "qpack/file_facts.h"
#include "qpack/package_description.h"
#include "qpack/report.h"
#include "qpack/package_builder.h"
#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

namespace {

// Every file below root, as paths relative to it.
std::vector<std::string> FilesBelow(const std::filesystem::path& root)
{
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            found.push_back(std::filesystem::relative(entry.path(), root).generic_string());
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace

// A name that would leave its folder makes its record damaged for every
// reader: extraction writes what the damage leaves readable, nothing more.
TEST(Extract, NamesThatClimbOutAreDamagedRecords)
{
    for (const char* name : {"\\..\\..\\evil1.txt", "\\bin\\..\\..\\evil2.txt", "\\bin/../../evil3.txt",
                             "\\C:\\evil4.txt", "\\\\server\\share\\evil5.txt", "\\bin\\.\\evil6.txt", "\\bin\\"}) {
        ManifestFolder folder("extract");
        PackageContents contents;
        std::string error;
        const Bytes setup =
            SetupWithFiles({Carried("\\uninstall.exe", "MZ"), Carried(name, "x"), Carried("\\bin\\ok.txt", "fine")});
        ASSERT_TRUE(ReadPackageContents(setup, contents, error)) << error;
        EXPECT_EQ(contents.damage, std::vector<std::string>{"file record 1 is damaged"}) << name;
        std::vector<std::string> problems;
        EXPECT_EQ(ExtractPackage(contents, folder.Path("deep/out"), problems), 1) << name;
        EXPECT_EQ(FilesBelow(folder.dir), std::vector<std::string>{"deep/out/uninstaller/uninstall.exe"}) << name;
    }
}

TEST(Extract, SafePathsStayBelowTheFolder)
{
    EXPECT_EQ(SafePathBelow("/x", "\\a\\b.txt"), "/x/a/b.txt");
    EXPECT_EQ(SafePathBelow("/x", "a/b.txt"), "/x/a/b.txt");
    EXPECT_EQ(SafePathBelow("/x", "\\a\\..\\b.txt"), "");
    EXPECT_EQ(SafePathBelow("/x", "a\\\\b"), "");
    EXPECT_EQ(SafePathBelow("/x", "a\\b:stream"), "");
    EXPECT_EQ(SafePathBelow("/x", ""), "");
    EXPECT_EQ(SafePathBelow("/x", "a\\"), "");
    EXPECT_EQ(SafePathBelow("/x", std::string("a\x01", 2)), "");
}

// In code page 932 the second byte of "ソ" is 0x5C, the backslash. Names are
// split by character, whether qpack wrote them or not: "ソ.." is a name of its
// own, and "ソ\..\..\.." climbs out, a damaged record.
TEST(Extract, DoubleByteNamesKeepTheirCharacters)
{
    ManifestFolder folder("cp932");
    folder.Write("a.txt", "a");
    const std::string manifest = "[product]\nname = \"ソフト\"\ncodepage = 932\n"
                                 "[[file]]\nsource = \"a.txt\"\ntarget = \"ソ/ソ.txt\"\n";
    PackageInputs inputs;
    std::vector<std::string> errors;
    ASSERT_TRUE(LoadManifest(folder.Write("cp932.toml", manifest), inputs, errors)) << errors[0];
    EXPECT_EQ(inputs.files[1].relativeName, "\\\x83\\\\\x83\\.txt");
    Bytes built;
    std::string error;
    ASSERT_TRUE(BuildSetup(Bytes(256, 0x90), inputs, COMPRESS_FAST, nullptr, built, error)) << error;
    const Bytes crafted = SetupWithFiles({Carried("\\uninstall.exe", "MZ"), Carried("\\\x83\\..\\b.txt", "x"),
                                          Carried("\\\x83\\\\..\\..\\..\\c.txt", "x")},
                                         932);
    std::vector<std::string> problems;
    std::vector<std::string> damage;
    for (const Bytes& setup : {built, crafted}) {
        PackageContents contents;
        ASSERT_TRUE(ReadPackageContents(setup, contents, error)) << error;
        ExtractPackage(contents, folder.Path("deep/out"), problems);
        damage.insert(damage.end(), contents.damage.begin(), contents.damage.end());
    }
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(damage, std::vector<std::string>{"file record 2 is damaged"});
    EXPECT_EQ(FilesBelow(folder.Path("deep")),
              (std::vector<std::string>{"out/destination/ソ../b.txt", "out/destination/ソ/ソ.txt",
                                        "out/uninstaller/uninstall.exe"}));
}

// Damaged packages, with the CRC made right so that the damage reaches the
// decoder and the record readers, are read without fault.
TEST(Extract, DamagedPackagesAreReadWithoutFault)
{
    ManifestFolder folder("damaged");
    const Bytes good =
        SetupWithFiles({Carried("\\uninstall.exe", "MZ"), Carried("\\a\\b\x83\\.txt", "some text")}, 932);
    const PackageTrailer t = ParseTrailer(good.data() + good.size() - TRAILER_SIZE);
    std::mt19937 rng(5);
    for (int round = 0; round < 400; round++) {
        Bytes bad = good;
        for (int k = 0; k < 1 + round % 4; k++)
            bad[t.payloadOffset + PACK_HEADER_SIZE + rng() % (t.packedSize - PACK_HEADER_SIZE)] = (uint8_t)rng();
        uint8_t* header = bad.data() + t.payloadOffset;
        StoreU32(header + 12, Crc32(header + PACK_HEADER_SIZE, t.packedSize - PACK_HEADER_SIZE));
        PackageContents contents;
        std::string error;
        if (!ReadPackageContents(bad, contents, error))
            continue;
        std::vector<std::string> problems;
        ExtractPackage(contents, folder.Path("out"), problems);
    }
    for (const std::string& file : FilesBelow(folder.dir))
        EXPECT_EQ(file.compare(0, 4, "out/"), 0) << file;
}

// A file comes back as the setup program installs it: its modified time and
// its read-only flag.
TEST(Extract, FilesKeepTheirTimesAndReadOnlyFlag)
{
    ManifestFolder folder("times");
    folder.Write("a.txt", "a");
    folder.Write("b.txt", "b");
    const std::string manifest = "[product]\nname = \"Times\"\nuninstaller = \"a.txt\"\n"
                                 "[[file]]\nsource = \"a.txt\"\nmodified = 2026-01-01T12:00:00Z\n"
                                 "attributes = [\"readonly\", \"archive\"]\n"
                                 "[[file]]\nsource = \"b.txt\"\n";
    PackageInputs inputs;
    std::vector<std::string> errors;
    ASSERT_TRUE(LoadManifest(folder.Write("times.toml", manifest), inputs, errors)) << errors[0];
    Bytes built;
    std::string error;
    ASSERT_TRUE(BuildSetup(Bytes(256, 0x90), inputs, COMPRESS_FAST, nullptr, built, error)) << error;
    PackageContents contents;
    ASSERT_TRUE(ReadPackageContents(built, contents, error)) << error;
    std::vector<std::string> problems;
    EXPECT_EQ(ExtractPackage(contents, folder.Path("out"), problems), 3);
    EXPECT_TRUE(problems.empty()) << problems[0];
    struct stat a, b;
    ASSERT_EQ(stat(folder.Path("out/destination/a.txt").c_str(), &a), 0);
    ASSERT_EQ(stat(folder.Path("out/destination/b.txt").c_str(), &b), 0);
    EXPECT_EQ(a.st_mtim.tv_sec, 1767268800) << "2026-01-01 12:00 UTC";
    EXPECT_FALSE(a.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH));
    EXPECT_TRUE(b.st_mode & S_IWUSR);
    chmod(folder.Path("out/destination/a.txt").c_str(), 0644);
}

// A signed setup is read before its certificates, from memory and from the
// file alike, and says that it is signed.
TEST(Extract, SignedSetupsAreReadBeforeTheirCertificates)
{
    ManifestFolder folder("signed");
    const Bytes setup = SignedSetupWithFiles({Carried("\\uninstall.exe", "MZ"), Carried("\\a.txt", "a")}, 1200);
    const std::string path = folder.Path("signed.exe");
    std::string error;
    ASSERT_TRUE(WriteWholeFile(path, setup, error)) << error;
    PackageContents fromMemory, fromFile;
    ASSERT_TRUE(ReadPackageContents(setup, fromMemory, error)) << error;
    ASSERT_TRUE(ReadPackageFile(path, fromFile, error)) << error;
    for (const PackageContents* c : {&fromMemory, &fromFile}) {
        EXPECT_EQ(c->signatureSize, 1200u);
        ASSERT_EQ(c->files.size(), 2u);
        EXPECT_TRUE(c->damage.empty());
    }
    EXPECT_NE(RenderText(DescribePackage(fromFile)).find("signed: true"), std::string::npos);
    std::vector<std::string> problems;
    EXPECT_EQ(ExtractPackage(fromFile, folder.Path("out"), problems), 2);
}
