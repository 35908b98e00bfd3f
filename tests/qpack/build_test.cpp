// Manifests through the builder and back through the readers the setup
// program uses.
#include "manifest_folder.h"
#include "package/string_table.h"
#include "qpack/package_builder.h"
#include "qpack/package_contents.h"
#include "qpack/extract.h"
#include "qpack/package_description.h"
#include <gtest/gtest.h>
#include <map>
#include <string.h>

namespace {

const char FullManifest[] = R"(
[product]
name = "Demo 2.0"
strings = "de"
restart = "logoff"
uninstall_restart = "restart"
group_step = false
uninstaller = "uninstall.exe"
file_order = "manifest"

[texts]
footer = "Fußzeile"
license_text = { file = "LICENSE.txt" }

[appearance]
background = "solid"
colour = "#102030"
title_colour = "#FF0000"
banner_at_start = true

[sound]
file = "music.wav"
embed = false

[pictures]
welcome = "a.bmp"
destination = "b.bmp"
ready = "b.bmp"
finish = "a.bmp"

[[banner]]
file = "a.bmp"
placement = [10, 20, 90, 50]

[[banner]]
file = "b.bmp"
embed = false

[uninstall.first]
program = "tool.exe"
arguments = "/remove"
flags = 1
message = "Cannot run the tool."

[uninstall.second]
folder = "none"
program = "C:\\tools\\clean.exe"
flags = 128

[install.first]
folder = "system"
program = "regsvr32.exe"
arguments = "/s demo.dll"
exit_code = 3
abort_on_failure = true
message = "Cannot register."

[install.second]
program = "bin/after.exe"
no_wait = true

[[file]]
source = "files/readme.txt"
attributes = ["readonly", "hidden"]
created = 2020-02-03T04:05:06Z
modified = 2021-02-03T04:05:06.5+01:00

[[file]]
source = "files/big.dat"
target = "data/big.dat"
carried = false
beside = "extra/big.dat"
readme = true

[[file]]
source = "files/demo.dll"
root = "system"

[[file]]
source = "files/demo.ini"
root = "windows"
target = "Demo/demo.ini"

[[shortcut]]
name = "Demo.lnk"
target = "bin/after.exe"
arguments = "--start 100%"
icon = "demo.ico"
icon_root = "windows"
icon_index = -2
folder = "startmenu"

[[shortcut]]
name = "Readme.lnk"
target = "readme.txt"

[[registry]]
root = "HKCR"
key = "Demo.File"
name = "Count"
number = 4294967295

[[registry]]
root = "HKCU"
key = "Software\\Demo"
name = "Path"
string = "C:\\Demo"
stop_on_failure = true
message = "Cannot write the path."

[[registry]]
root = "HKLM"
key = "Software\\Demo\\Empty"

[[registry]]
root = "HKU"
key = ".DEFAULT\\Demo"
name = "x"
string = ""

[[registry]]
root = "HKCC"
key = "Demo"
name = "y"
number = 0
)";

struct BuiltDemo : ::testing::Test {
    ManifestFolder folder{"build"};
    PackageInputs inputs;
    Bytes setup;
    PackageContents contents;

    void SetUp() override
    {
        folder.Write("LICENSE.txt", "Line one\nLine two\n");
        folder.Write("uninstall.exe", "MZ-uninstaller");
        folder.Write("music.wav", WavBytes());
        folder.Write("a.bmp", BmpBytes());
        folder.Write("b.bmp", BmpBytes() + "b");
        folder.Write("files/readme.txt", "read me");
        folder.Write("files/big.dat", std::string(1000, 'x'));
        folder.Write("files/demo.dll", "MZ-dll");
        folder.Write("files/demo.ini", "[demo]");
        std::vector<std::string> errors;
        ASSERT_TRUE(LoadManifest(folder.Write("demo.toml", FullManifest), inputs, errors)) << errors[0];
        std::string error;
        ASSERT_TRUE(BuildSetup(Bytes(4096, 0x90), inputs, COMPRESS_FAST, nullptr, setup, error)) << error;
        ASSERT_TRUE(ReadPackageContents(setup, contents, error)) << error;
        ASSERT_TRUE(contents.damage.empty()) << contents.damage[0];
    }
};

} // namespace

TEST_F(BuiltDemo, TrailerCarriesTheSwitchesAndTheTrueSizes)
{
    const TrailerSettings s = SettingsFromTrailer(contents.trailer);
    EXPECT_EQ(s.RestartMode, RESTART_LOGOFF);
    EXPECT_EQ(s.UninstallRestartMode, RESTART_REBOOT);
    EXPECT_EQ(s.GroupStepEnabled, 0);
    EXPECT_EQ(contents.trailer.fileSectionLength, contents.fileSectionLength);
    EXPECT_EQ(contents.trailer.spaceRequired, 14u + 7 + 1000 + 6 + 6);
    EXPECT_EQ(contents.trailer.payloadOffset - 4096u, (8 - (4096 + contents.trailer.packedSize + TRAILER_SIZE) % 8) % 8);
    EXPECT_EQ(setup.size() % 8, 0u);
    EXPECT_EQ(contents.trailer.payloadOffset + contents.trailer.packedSize, setup.size() - TRAILER_SIZE);
    EXPECT_EQ(contents.header.unpackedSize, contents.trailer.scriptSize + contents.trailer.dataSize);
    EXPECT_EQ(contents.header.codePage, 1252);
}

TEST_F(BuiltDemo, TextsComeFromTheStringsFileAndTheOverridesInTheCodePage)
{
    ASSERT_EQ(contents.texts.size(), 63u);
    EXPECT_EQ(contents.texts[2], "Fu\xDF" "zeile");
    EXPECT_EQ(contents.texts[3], "Demo 2.0");
    EXPECT_EQ(contents.texts[4], "Willkommen");
    EXPECT_EQ(contents.texts[11], "Line one\r\nLine two\r\n");
    EXPECT_EQ(contents.texts[58], "\\Demo 2.0");
}

TEST_F(BuiltDemo, SettingsRecordsInFileOrder)
{
    EXPECT_EQ(contents.sound.source.form, ITEM_EXTERNAL);
    EXPECT_STREQ((const char*)contents.sound.source.bytes, "music.wav");
    EXPECT_EQ(contents.sound.playMode, 0);
    EXPECT_EQ(contents.appearance.BackgroundStyle, STYLE_SOLID);
    EXPECT_EQ(contents.appearance.TitleColour, 0x000000FFu);
    EXPECT_EQ(contents.appearance.red, 0x10);
    EXPECT_EQ(contents.appearance.blue, 0x30);
    EXPECT_EQ(contents.sheets[0].source.form, ITEM_EMBEDDED);
    EXPECT_EQ(contents.sheets[1].source.form, ITEM_EMBEDDED);
    EXPECT_EQ(contents.sheets[1].source.size, 63u);
    EXPECT_EQ(contents.sheets[2].backReference, 1);
    EXPECT_EQ(contents.sheets[3].backReference, 3);
    EXPECT_EQ(contents.bannerHead.count, 2);
    EXPECT_EQ(contents.bannerHead.atStart, 1);
    ASSERT_EQ(contents.banners.size(), 2u);
    EXPECT_EQ(contents.banners[0].placement[3], 50);
    EXPECT_EQ(contents.banners[1].source.form, ITEM_EXTERNAL);
}

TEST_F(BuiltDemo, CommandsWithBothTails)
{
    const CommandRecord& u1 = contents.commands[0];
    EXPECT_STREQ(u1.path, "\\tool.exe");
    EXPECT_EQ(u1.flags, COMMAND_ABORT_ON_FAILURE | COMMAND_HAS_MESSAGE);
    EXPECT_STREQ(u1.message, "Cannot run the tool.");
    const CommandRecord& u2 = contents.commands[1];
    EXPECT_EQ(u2.folder, 3);
    EXPECT_STREQ(u2.path, "C:\\tools\\clean.exe");
    EXPECT_EQ(u2.flags, 0x80);
    const CommandRecord& i1 = contents.commands[2];
    EXPECT_EQ(i1.folder, 1);
    EXPECT_EQ(i1.expectedExitCode, 3u);
    EXPECT_EQ(i1.flags, COMMAND_ABORT_ON_FAILURE | COMMAND_HAS_MESSAGE);
    EXPECT_STREQ(i1.arguments, "/s demo.dll");
    const CommandRecord& i2 = contents.commands[3];
    EXPECT_STREQ(i2.path, "\\bin\\after.exe");
    EXPECT_EQ(i2.flags, COMMAND_NO_WAIT);
}

TEST_F(BuiltDemo, FilesWithTheirRootsFormsAndMarkers)
{
    ASSERT_EQ(contents.files.size(), 5u);
    EXPECT_EQ(contents.files[0].size, 14u);
    const FileRecord& readme = contents.files[1];
    EXPECT_EQ(readme.kind, 0) << "one README, the file beside the setup program";
    EXPECT_STREQ(readme.relativeName, "\\readme.txt");
    EXPECT_EQ(readme.attributes, 0x03u);
    EXPECT_EQ(readme.created, 132251763060000000ull);
    EXPECT_EQ(readme.modified, 132567951065000000ull);
    const FileRecord& big = contents.files[2];
    EXPECT_EQ(big.kind, 0x81);
    EXPECT_STREQ(big.relativeName, "\\data\\big.dat");
    EXPECT_STREQ(big.sourceName, "extra\\big.dat");
    EXPECT_EQ(contents.files[3].root, 1);
    EXPECT_EQ(contents.files[4].root, 2);
    EXPECT_STREQ(contents.files[4].relativeName, "\\Demo\\demo.ini");
}

TEST_F(BuiltDemo, ShortcutsWithEveryField)
{
    ASSERT_EQ(contents.shortcuts.size(), 2u);
    const ShortcutRecord& s = contents.shortcuts[0];
    EXPECT_EQ(s.linkFolder, LINK_START_MENU);
    EXPECT_STREQ(s.linkName, "Demo.lnk");
    EXPECT_STREQ(s.target, "\\bin\\after.exe");
    EXPECT_STREQ(s.arguments, "--start 100%");
    EXPECT_EQ(s.iconFolder, 2);
    EXPECT_STREQ(s.icon, "\\demo.ico");
    EXPECT_EQ(s.iconIndex, -2);
    EXPECT_EQ(contents.shortcuts[1].linkFolder, LINK_GROUP);
    EXPECT_FALSE(HasIcon(contents.shortcuts[1]));
}

TEST_F(BuiltDemo, RegistryValuesUnderEveryRoot)
{
    ASSERT_EQ(contents.registry.size(), 5u);
    for (uint8_t root = 0; root < 5; root++)
        EXPECT_EQ(contents.registry[root].root, root);
    EXPECT_EQ(contents.registry[0].kind, VALUE_NUMBER);
    EXPECT_EQ(contents.registry[0].number, 0xFFFFFFFFu);
    const RegistryRecord& path = contents.registry[1];
    EXPECT_EQ(path.length, 8);
    EXPECT_STREQ((const char*)path.data, "C:\\Demo");
    EXPECT_EQ(path.flags, REGISTRY_STOP_ON_FAILURE);
    EXPECT_STREQ(path.message, "Cannot write the path.");
    EXPECT_STREQ(contents.registry[2].valueName, "");
    EXPECT_EQ(contents.registry[3].length, 1);
}

TEST_F(BuiltDemo, SameInputsGiveTheSameBytes)
{
    for (CompressionLevel level : {COMPRESS_FAST, COMPRESS_BEST}) {
        Bytes first, second;
        std::string error;
        ASSERT_TRUE(BuildSetup(Bytes(4096, 0x90), inputs, level, nullptr, first, error));
        ASSERT_TRUE(BuildSetup(Bytes(4096, 0x90), inputs, level, nullptr, second, error));
        EXPECT_EQ(first, second);
    }
}

// Packed with LZMA, as the manifest asks.
TEST(BuildSetup, WithoutBannersSoundOrCommands)
{
    ManifestFolder folder("plain");
    PackageInputs inputs;
    std::vector<std::string> errors;
    ASSERT_TRUE(LoadManifest(folder.Write("plain.toml", "[product]\nname = \"Plain\"\ncompression = \"lzma\"\n"),
                             inputs, errors));
    Bytes setup;
    std::string error;
    ASSERT_TRUE(BuildSetup(Bytes(512, 0), inputs, COMPRESS_BEST, nullptr, setup, error));
    PackageContents contents;
    ASSERT_TRUE(ReadPackageContents(setup, contents, error));
    EXPECT_EQ(contents.bannerHead.count, 0);
    EXPECT_TRUE(contents.banners.empty());
    EXPECT_EQ(contents.sound.source.form, ITEM_NONE);
    for (const CommandRecord& c : contents.commands)
        EXPECT_EQ(c.present, 0);
    ASSERT_EQ(contents.files.size(), 1u);
    EXPECT_EQ(contents.trailer.flags, TRAILER_GROUP_STEP);
    EXPECT_EQ(contents.texts[3], "Plain");
    EXPECT_TRUE(contents.damage.empty());
    EXPECT_EQ(contents.header.version, PACK_VERSION_LZMA);
}

// A Russian product: texts, names and registry values in code page 1251,
// recorded in the header and shown by inspect in UTF-8 again. The long
// target fits below the product's folder only as the folder's name counts
// one byte a letter, as in 1251, not two, as in UTF-8.
TEST(BuildSetup, RussianProductInCodePage1251)
{
    ManifestFolder folder("cp1251");
    folder.Write("a.txt", "a");
    const std::string manifest = R"([product]
name = "Программа"
codepage = 1251
[texts]
footer = "Установка «{product}»"
[[registry]]
root = "HKCU"
key = "Software\\Программа"
name = "Путь"
string = "Значение"
[[file]]
source = "a.txt"
target = "Документы/Файл.txt"
[[file]]
source = "a.txt"
target = ")" + std::string(230, 'x') + "\"\n";
    PackageInputs inputs;
    std::vector<std::string> errors;
    ASSERT_TRUE(LoadManifest(folder.Write("cp1251.toml", manifest), inputs, errors)) << errors[0];
    Bytes setup;
    std::string error;
    ASSERT_TRUE(BuildSetup(Bytes(512, 0), inputs, COMPRESS_FAST, nullptr, setup, error)) << error;
    PackageContents contents;
    ASSERT_TRUE(ReadPackageContents(setup, contents, error)) << error;
    EXPECT_EQ(LoadU16(setup.data() + contents.trailer.payloadOffset + 17), 1251);
    EXPECT_EQ(contents.texts[3], "\xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE0");
    const std::string text = RenderText(DescribePackage(contents));
    for (const char* shown : {"codepage: 1251", "footer: \"Установка «Программа»\"", "key: \"Software\\\\Программа\"",
                              "name: \"Путь\"", "string: \"Значение\"", "name: \"\\\\Документы\\\\Файл.txt\""})
        EXPECT_NE(text.find(shown), std::string::npos) << shown;
    EXPECT_NE(RenderJson(DescribePackage(contents)).find("\"codepage\":1251"), std::string::npos);
}

// A folder with nested folders goes in by patterns and comes out of the
// package as it was, byte for byte, without what the patterns leave out,
// below its target folder and in byte order after the single files.
TEST(BuiltFolders, TreeRoundTripsThroughBuildAndExtract)
{
    ManifestFolder folder("folders");
    const std::map<std::string, std::string> kept = {
        {"app.exe", "MZ program"},         {"docs/guide.txt", "a guide"}, {"docs/deep/er/notes.txt", "notes"},
        {"lib/a.dll", std::string(5000, 'a')}, {"lib/z.dll", "z"},      {"lib/sub/b.dll", "b"}};
    for (const auto& [name, content] : kept)
        folder.Write("tree/" + name, content);
    folder.Write("tree/app.pdb", "symbols");
    folder.Write("tree/lib/sub/c.pdb", "symbols");
    folder.Write("tree/cache/x.txt", "cached");
    folder.Write("one.txt", "single");
    const std::string manifest = folder.Write("demo.toml", R"([product]
name = "Demo"
[[file]]
source = "one.txt"
[[files]]
source = "tree"
target = "Program"
exclude = ["**/*.pdb", "cache/**"]
)");
    PackageInputs in;
    std::vector<std::string> errors;
    ASSERT_TRUE(LoadManifest(manifest, in, errors)) << errors[0];
    ASSERT_EQ(in.files.size(), 2 + kept.size());
    std::vector<std::string> order;
    for (size_t i = 1; i < in.files.size(); i++)
        order.push_back(in.fileNames[i]);
    EXPECT_EQ(order, (std::vector<std::string>{"files[0] 'lib/a.dll'", "files[0] 'lib/sub/b.dll'",
                                               "files[0] 'lib/z.dll'", "files[0] 'app.exe'",
                                               "files[0] 'docs/guide.txt'", "files[0] 'docs/deep/er/notes.txt'",
                                               "file[0]"}))
        << "by kind, then by name";

    Bytes setup;
    std::string error;
    ASSERT_TRUE(BuildSetup(Bytes(256, 0x90), in, COMPRESS_FAST, nullptr, setup, error)) << error;
    PackageContents contents;
    ASSERT_TRUE(ReadPackageContents(setup, contents, error)) << error;
    std::vector<std::string> problems;
    const std::string out = folder.Path("out");
    ExtractPackage(contents, out, problems);
    EXPECT_TRUE(problems.empty());
    std::map<std::string, std::string> extracted;
    const std::filesystem::path base = std::filesystem::path(out) / "destination" / "Program";
    for (const auto& entry : std::filesystem::recursive_directory_iterator(base))
        if (entry.is_regular_file()) {
            std::vector<uint8_t> bytes;
            ReadWholeFile(entry.path().string(), bytes, error);
            extracted[entry.path().lexically_relative(base).generic_string()] = std::string(bytes.begin(), bytes.end());
        }
    EXPECT_EQ(extracted, kept);
}

// The order of the files is the manifest's when it says so; otherwise only
// the uninstaller and the program the first install command runs keep their
// places at the front.
TEST(BuiltFolders, OrderKeepsWhatTheInstallReliesOn)
{
    ManifestFolder folder("order");
    for (const char* name : {"z.txt", "setup/run.exe", "a.dll", "b.txt"})
        folder.Write(name, name);
    const std::string files = "[[file]]\nsource = \"z.txt\"\n[[file]]\nsource = \"setup/run.exe\"\n"
                              "[[file]]\nsource = \"a.dll\"\n[[file]]\nsource = \"b.txt\"\n";
    const auto order = [&](const std::string& product, const std::string& more) {
        PackageInputs in;
        std::vector<std::string> errors;
        EXPECT_TRUE(LoadManifest(folder.Write("demo.toml", product + more + files), in, errors));
        std::string names;
        for (const FileEntry& f : in.files)
            names += f.relativeName + " ";
        return names;
    };
    const std::string product = "[product]\nname = \"Demo\"\n";
    EXPECT_EQ(order(product, ""), "\\uninstall.exe \\a.dll \\run.exe \\b.txt \\z.txt ");
    EXPECT_EQ(order(product + "file_order = \"manifest\"\n", ""), "\\uninstall.exe \\z.txt \\run.exe \\a.dll \\b.txt ");
    EXPECT_EQ(order(product, "[install.first]\nprogram = \"z.txt\"\n"),
              "\\uninstall.exe \\z.txt \\a.dll \\run.exe \\b.txt ")
        << "the first install command's program stays the first file";
}

// What will work but may not be meant is noted, not refused: a picture of
// another shape than its place (the wizard's column is 116 x 232 pixels, a
// banner's place its placement's share of a screen of 1920 x 1080), a link
// into the product's folder to a file the package does not install.
TEST(BuildSetup, WhatMayNotBeMeantIsNoted)
{
    const auto bitmap = [](int32_t width, int32_t height) {
        std::string b(54, '\0');
        b[0] = 'B';
        b[1] = 'M';
        b[14] = 40;
        memcpy(&b[18], &width, 4);
        memcpy(&b[22], &height, 4);
        return b;
    };
    const struct {
        const char* tables;
        size_t notes;
    } rows[] = {
        {"[pictures]\nwelcome = \"p.bmp\"\n", 0},
        {"[pictures]\nwelcome = \"wide.bmp\"\n", 1},
        {"[[banner]]\nfile = \"banner.bmp\"\nplacement = [70, 75, 96, 91]\n", 0},
        {"[[banner]]\nfile = \"banner.bmp\"\nplacement = [0, 0, 50, 50]\n", 1},
        {"[[file]]\nsource = \"p.bmp\"\ntarget = \"Docs/P.bmp\"\n[[shortcut]]\nname = \"p.lnk\"\ntarget = \"docs/p.bmp\"\n", 0},
        {"[[file]]\nsource = \"p.bmp\"\n[[shortcut]]\nname = \"p.lnk\"\ntarget = \"q.bmp\"\n", 1},
        {"[[shortcut]]\nname = \"cmd.lnk\"\ntarget = \"cmd.exe\"\ntarget_root = \"system\"\n", 0},
    };
    for (const auto& row : rows) {
        ManifestFolder folder("shapes");
        folder.Write("p.bmp", bitmap(116, -232));
        folder.Write("wide.bmp", bitmap(232, 232));
        folder.Write("banner.bmp", bitmap(499, 173));
        PackageInputs inputs;
        std::vector<std::string> errors;
        const std::string manifest = std::string("[product]\nname = \"Shapes\"\n") + row.tables;
        ASSERT_TRUE(LoadManifest(folder.Write("shapes.toml", manifest), inputs, errors)) << errors[0];
        EXPECT_EQ(inputs.notes.size(), row.notes) << row.tables;
        for (const std::string& note : inputs.notes)
            EXPECT_NE(note.find(": note: "), std::string::npos) << note;
    }
}
