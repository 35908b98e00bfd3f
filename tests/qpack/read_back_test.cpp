// The builder reads its package back and names the first place where it
// differs from the inputs, instead of writing a broken setup program.
#include "manifest_folder.h"
#include "qpack/package_builder.h"
#include "qpack/read_back.h"
#include <gtest/gtest.h>
#include <functional>

namespace {

const char Manifest[] = R"([product]
name = "Demo"
[pictures]
welcome = "a.bmp"
[install.first]
program = "a.exe"
exit_code = 3
[[file]]
source = "a.txt"
[[shortcut]]
name = "A.lnk"
target = "a.txt"
arguments = "--go"
[[registry]]
root = "HKCU"
key = "Software\\Demo"
name = "Path"
string = "C:\\Demo"
stop_on_failure = true
message = "Cannot write."
)";

struct BuiltPackage : ::testing::Test {
    ManifestFolder folder{"read-back"};
    PackageInputs inputs;

    void SetUp() override
    {
        folder.Write("a.txt", "text");
        folder.Write("a.bmp", BmpBytes());
        std::vector<std::string> errors;
        ASSERT_TRUE(LoadManifest(folder.Write("demo.toml", Manifest), inputs, errors)) << errors[0];
    }

    std::string BuildError(const PackageInputs& in)
    {
        Bytes setup;
        std::string error;
        EXPECT_FALSE(BuildSetup(Bytes(256, 0x90), in, COMPRESS_FAST, nullptr, setup, error));
        return error;
    }
};

struct Change {
    const char* difference;
    std::function<void(PackageInputs&, PackageTrailer&)> make;
};

} // namespace

TEST_F(BuiltPackage, FirstDifferenceNamesWhatReadsBackOtherwise)
{
    Bytes setup;
    std::string error;
    ASSERT_TRUE(BuildSetup(Bytes(256, 0x90), inputs, COMPRESS_FAST, nullptr, setup, error)) << error;
    PackageContents read;
    ASSERT_TRUE(ReadPackageContents(setup, read, error)) << error;
    EXPECT_EQ(FirstDifference(inputs, read.trailer, read), "");
    const Change changes[] = {
        {"texts.product_title", [](PackageInputs& in, PackageTrailer&) { in.texts[3] = "Other"; }},
        {"the welcome picture", [](PackageInputs& in, PackageTrailer&) { in.sheets[0].data[40] ^= 1; }},
        {"install.first: exit code", [](PackageInputs& in, PackageTrailer&) { in.commands[2].expectedExitCode = 4; }},
        {"file[0]: bytes", [](PackageInputs& in, PackageTrailer&) { in.files[1].body.push_back('!'); }},
        {"shortcut[0]: arguments", [](PackageInputs& in, PackageTrailer&) { in.shortcuts[0].arguments = "--stop"; }},
        {"registry[0]: message", [](PackageInputs& in, PackageTrailer&) { in.registry[0].message += "."; }},
        {"the trailer's space required", [](PackageInputs&, PackageTrailer& t) { t.spaceRequired++; }},
        {"the payload's code page", [](PackageInputs& in, PackageTrailer&) { in.codePage = 1251; }},
    };
    for (const Change& change : changes) {
        PackageInputs changed = inputs;
        PackageTrailer expected = read.trailer;
        change.make(changed, expected);
        EXPECT_EQ(FirstDifference(changed, expected, read), change.difference);
    }
}

// A writer's refusal names the record as the manifest does.
TEST_F(BuiltPackage, WriterRefusalNamesTheRecord)
{
    PackageInputs in = inputs;
    in.shortcuts[0].arguments = std::string("--a\0b", 5);
    EXPECT_EQ(BuildError(in), "the package format cannot carry shortcut[0] as it stands");
}

// Record counts are signed 16-bit values and folder codes have their range;
// the writer puts down what it is given, the readers refuse it.
TEST_F(BuiltPackage, RecordsTheReadersRefuseFailTheBuild)
{
    PackageInputs badFolder = inputs;
    badFolder.shortcuts[0].linkFolder = 9;
    EXPECT_EQ(BuildError(badFolder), "the package does not read back as written (shortcut record 0 is damaged)");
    PackageInputs tooMany = inputs;
    tooMany.registry.resize(32768, inputs.registry[0]);
    EXPECT_EQ(BuildError(tooMany),
              "the package does not read back as written (the registry section has no valid count)");
}
