// inspect and extract open files of unknown origin: a claim the file cannot
// hold is refused before anything is read or allocated for it, damage is
// reported once, and names reach the terminal with their control characters
// escaped.
#include "crafted_setup.h"
#include "manifest_folder.h"
#include "qpack/extract.h"
#include "qpack/package_builder.h"
#include "qpack/package_description.h"
#include "qpack/slots.h"
#include <gtest/gtest.h>

namespace {

std::string Save(const ManifestFolder& folder, const std::string& name, const Bytes& bytes)
{
    return folder.Write(name, std::string(bytes.begin(), bytes.end()));
}

PackageTrailer TrailerOf(const Bytes& setup)
{
    return ParseTrailer(setup.data() + setup.size() - TRAILER_SIZE);
}

Bytes WithTrailer(Bytes setup, const PackageTrailer& t)
{
    WriteTrailer(t, setup.data() + setup.size() - TRAILER_SIZE);
    return setup;
}

} // namespace

TEST(HostilePackages, ClaimsTheFileCannotHoldAreRefused)
{
    ManifestFolder folder("claims");
    PackageTrailer gigabyte = {};
    gigabyte.payloadOffset = 1024;
    gigabyte.packedSize = 4096;
    gigabyte.dataSize = 1u << 30;
    const Bytes small = WithTrailer(Bytes(35 * 1024, 0), gigabyte);
    const Bytes good = SetupWithFiles({Carried("\\uninstall.exe", "MZ")});
    PackageTrailer disagreeing = TrailerOf(good);
    disagreeing.dataSize += 1000;
    const struct {
        std::string path, error;
    } cases[] = {
        {Save(folder, "small.exe", small), "the trailer claims 1073741824 bytes unpacked from 4096 packed"},
        {Save(folder, "disagreeing.exe", WithTrailer(good, disagreeing)), "its sizes do not add up"},
        {folder.Path("absent.exe"), "cannot read the file: No such file or directory"},
    };
    for (const auto& c : cases) {
        PackageContents contents;
        std::string error;
        EXPECT_FALSE(ReadPackageFile(c.path, contents, error)) << c.path;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.path << ": " << error;
    }
    PackageContents contents;
    std::string error;
    EXPECT_FALSE(ReadPackageContents(small, contents, error));
    EXPECT_NE(error.find(cases[0].error), std::string::npos) << error;
}

TEST(HostilePackages, AFileReadsAsItsBytesDo)
{
    ManifestFolder folder("same");
    const Bytes setup = SetupWithFiles({Carried("\\uninstall.exe", "MZ"), Carried("\\a.txt", "text")});
    PackageContents fromFile, fromMemory;
    std::string error;
    ASSERT_TRUE(ReadPackageFile(Save(folder, "setup.exe", setup), fromFile, error)) << error;
    ASSERT_TRUE(ReadPackageContents(setup, fromMemory, error)) << error;
    EXPECT_EQ(fromFile.script, fromMemory.script);
    EXPECT_EQ(fromFile.data, fromMemory.data);
    EXPECT_EQ(RenderJson(DescribePackage(fromFile)), RenderJson(DescribePackage(fromMemory)));
}

TEST(HostilePackages, OneDamagedRecordIsOneMessage)
{
    std::vector<FileEntry> files = {Carried("\\uninstall.exe", "MZ"), Carried("\\a.txt", "a"),
                                    Carried("\\b.txt", "b"), Carried("\\c.txt", "c")};
    files[2].root = 7;
    PackageContents contents;
    std::string error;
    ASSERT_TRUE(ReadPackageContents(SetupWithFiles(files), contents, error)) << error;
    EXPECT_EQ(contents.damage, (std::vector<std::string>{"file record 2 is damaged"}));
    EXPECT_EQ(contents.files.size(), 2u);
}

TEST(HostilePackages, ControlCharactersInNamesAreShownEscaped)
{
    const Bytes setup = SetupWithFiles({Carried("\\uninstall.exe", "MZ"), Carried("\\red\x1B[31m.txt", "x")});
    PackageContents contents;
    std::string error;
    ASSERT_TRUE(ReadPackageContents(setup, contents, error)) << error;
    const std::string text = RenderText(DescribePackage(contents));
    EXPECT_NE(text.find("\"\\\\red\\u001b[31m.txt\""), std::string::npos) << text;
    ManifestFolder folder("escaped");
    std::vector<std::string> problems;
    ExtractPackage(contents, folder.Path("out"), problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(Printable(problems[0]).find('\x1B'), std::string::npos);
    EXPECT_NE(Printable(problems[0]).find("\\red\\x1B[31m.txt"), std::string::npos) << problems[0];
    EXPECT_EQ(Printable("Grüße\x07\x7F\xC2\x9B\xC2\xA0"), "Grüße\\x07\\x7F\\u009B\xC2\xA0");
}
