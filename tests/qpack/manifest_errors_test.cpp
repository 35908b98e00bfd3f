// Everything a manifest can get wrong is reported with file, line and key.
#include "manifest_folder.h"
#include "qpack/manifest.h"
#include <gtest/gtest.h>

namespace {

struct Mistake {
    const char* name;
    const char* manifest; // after the [product] table
    const char* expected; // the error, after "<file>:"
    // The [product] table, when not one with a name on lines 1 and 2.
    const char* product = "[product]\nname = \"Demo\"\n";
};

void PrintTo(const Mistake& m, std::ostream* os)
{
    *os << m.name;
}

const Mistake Mistakes[] = {
    {"unknown_table", "[colours]\nx = 1\n", "3: colours: unknown table"},
    {"empty_name", "", "2: product.name: is empty", "[product]\nname = \"\"\n"},
    {"unknown_product_key", "", "2: product.nmae: unknown key", "[product]\nnmae = \"Demo\"\nname = \"Demo\"\n"},
    {"wrong_type", "[appearance]\nbanner_at_start = \"yes\"\n", "4: appearance.banner_at_start: has the wrong type"},
    {"syntax", "[[file]\n", "3: "},
    // toml++ 3.3 asks whether such a character is white space by a table that
    // marks it unreachable.
    {"non_ascii_after_a_value", "[texts]\nfooter = \"x\" \xD0\xA3\n", "4: "},
    {"missing_source", "[[file]]\nsource = \"absent.txt\"\n", "4: file[0].source: cannot read 'absent.txt'"},
    {"absolute_target", "[[file]]\nsource = \"a.txt\"\ntarget = \"/etc/a.txt\"\n",
     "5: file[0].target: must be a relative name"},
    {"drive_target", "[[file]]\nsource = \"a.txt\"\ntarget = \"C:/a.txt\"\n", "5: file[0].target: must be a relative name"},
    {"climbing_target", "[[file]]\nsource = \"a.txt\"\ntarget = \"bin/../../a.txt\"\n",
     "5: file[0].target: must not contain empty, \".\" or \"..\" parts"},
    {"long_target", "[[file]]\nsource = \"a.txt\"\nroot = \"system\"\ntarget = \"LONG\"\n",
     "6: file[0].target: is too long: with its folder it would not fit in 259 bytes"},
    {"bad_root", "[[file]]\nsource = \"a.txt\"\nroot = \"program\"\n",
     "5: file[0].root: must be one of destination, system, windows"},
    {"beside_without_reference", "[[file]]\nsource = \"a.txt\"\nbeside = \"b.txt\"\n",
     "5: file[0].beside: is used only with carried = false"},
    {"bad_attribute", "[[file]]\nsource = \"a.txt\"\nattributes = [\"secret\"]\n",
     "5: file[0].attributes: must be a list of"},
    {"bad_time", "[[file]]\nsource = \"a.txt\"\ncreated = 1999\n",
     "5: file[0].created: must be a date and time such as 2024-05-01T12:00:00Z"},
    {"not_bmp", "[pictures]\nwelcome = \"a.txt\"\n", "4: pictures.welcome: is not a BMP picture"},
    {"not_wav", "[sound]\nfile = \"a.bmp\"\n", "4: sound.file: is not a WAV sound"},
    {"sound_without_file", "[sound]\nrepeat = true\n", "3: sound.file: is missing"},
    {"bad_placement", "[[banner]]\nfile = \"a.bmp\"\nplacement = [1, 2, 3]\n",
     "5: banner[0].placement: must be four percentages"},
    {"unknown_slot", "[texts]\nfooterr = \"x\"\n", "4: texts.footerr: unknown string slot name"},
    {"code_page", "[texts]\nfooter = \"a\xE6\x97\xA5\"\n",
     "4: texts.footer: has a character that code page 1252 cannot hold: U+65E5 \"\xE6\x97\xA5\", character 2"},
    {"nul", "[texts]\nfooter = \"a\\u0000b\"\n",
     "4: texts.footer: has a character that code page 1252 cannot hold: U+0000, character 2"},
    // Keys at the start of a manifest still belong to [product].
    {"unsupported_code_page", "codepage = 65001\n",
     "3: product.codepage: must be one of 1250, 1251, 1252, 1253, 1254, 932, 936, 949, 950"},
    {"emoji_in_932", "codepage = 932\n[[shortcut]]\nname = \"\xF0\x9F\x98\x80.lnk\"\ntarget = \"a.exe\"\n",
     "5: shortcut[0].name: has a character that code page 932 cannot hold"},
    {"yen_sign_in_932", "codepage = 932\n[[file]]\nsource = \"a.txt\"\ntarget = \"a\xC2\xA5" "b.txt\"\n",
     "6: file[0].target: has a character that code page 932 cannot hold"},
    {"long_text", "[texts]\nfooter = \"LONGTEXT\"\n", "4: texts.footer: is longer than 32767 bytes: 40000"},
    {"bad_colour", "[appearance]\ntitle_colour = \"white\"\n", "4: appearance.title_colour: must be a colour"},
    {"colour_with_gradient", "[appearance]\nbackground = \"red\"\ncolour = \"#000000\"\n",
     "5: appearance.colour: is used only with background = \"solid\""},
    {"unknown_strings_file", "", "3: product.strings: is no shipped language (\"en\", \"de\") and no strings file: "
                                 "cannot read 'fr'",
     "[product]\nname = \"Demo\"\nstrings = \"fr\"\n"},
    {"exit_code_range", "[install.first]\nprogram = \"a.exe\"\nexit_code = -1\n",
     "5: install.first.exit_code: must lie between 0 and 4294967295"},
    {"no_wait_on_first", "[install.first]\nprogram = \"a.exe\"\nno_wait = true\n",
     "5: install.first.no_wait: unknown key"},
    {"program_missing", "[uninstall.second]\nflags = 128\n", "3: uninstall.second.program: is missing"},
    // Two mistakes in one command, each reported, and neither value used after.
    {"unknown_folder_and_no_program", "[[file]]\nsource = \"a.txt\"\n[install.first]\nfolder = \"systemd.exe\"\n",
     "6: install.first.folder: must be one of"},
    {"no_program_and_unknown_folder", "[[file]]\nsource = \"a.txt\"\n[install.first]\nfolder = \"systemd.exe\"\n",
     "5: install.first.program: is missing"},
    {"shortcut_folder", "[[shortcut]]\nname = \"a.lnk\"\ntarget = \"a.exe\"\nfolder = \"quicklaunch\"\n",
     "6: shortcut[0].folder: must be one of group, desktop, startup, sendto, startmenu"},
    {"icon_index_range", "[[shortcut]]\nname = \"a.lnk\"\ntarget = \"a.exe\"\nicon_index = 40000\n",
     "6: shortcut[0].icon_index: must lie between -32768 and 32767"},
    {"registry_root", "[[registry]]\nroot = \"HKEY_FOO\"\nkey = \"Software\"\n",
     "4: registry[0].root: must be one of HKCR, HKCU, HKLM, HKU, HKCC"},
    {"value_without_name", "[[registry]]\nroot = \"HKCU\"\nkey = \"Software\\\\Demo\"\nnumber = 1\n",
     "3: registry[0].name: a value needs a name"},
    {"string_and_number", "[[registry]]\nroot = \"HKCU\"\nkey = \"K\"\nname = \"v\"\nstring = \"a\"\nnumber = 1\n",
     "7: registry[0]: a value is either a string or a number"},
    {"message_without_stop", "[[registry]]\nroot = \"HKCU\"\nkey = \"K\"\nname = \"v\"\nmessage = \"m\"\n",
     "7: registry[0].message: is shown only with stop_on_failure = true"},
    {"registry_slash", "[[registry]]\nroot = \"HKCU\"\nkey = \"Software/Demo\"\n",
     "5: registry[0].key: separates its keys with \"/\""},
    {"registry_root_backslash", "[[registry]]\nroot = \"HKCU\"\nkey = \"\\\\Software\"\n",
     "5: registry[0].key: must not begin with"},
    {"two_readmes", "[[file]]\nsource = \"a.txt\"\nreadme = true\n[[file]]\nsource = \"a.txt\"\ntarget = \"b.txt\"\n"
                    "readme = true\n",
     "9: file[1].readme: file[0] is the README already"},
    {"long_value_name", "[[registry]]\nroot = \"HKCU\"\nkey = \"K\"\nname = \"LONGNAME\"\n",
     "6: registry[0].name: is longer than 199 bytes"},
    {"too_many_values", "MANYVALUES", "3: registry: more than 32767 registry values"},
    // Lengths the package format counts in 16 bits, and the install log's header.
    {"long_shortcut_arguments", "[[shortcut]]\nname = \"a.lnk\"\ntarget = \"a.exe\"\narguments = \"@70000@\"\n",
     "6: shortcut[0].arguments: is longer than 32766 bytes"},
    {"long_registry_message",
     "[[registry]]\nroot = \"HKCU\"\nkey = \"K\"\nstop_on_failure = true\nmessage = \"@32767@\"\n",
     "7: registry[0].message: is longer than 32766 bytes"},
    {"log_header_at_command",
     "[uninstall.first]\nprogram = \"u.exe\"\narguments = \"@21000@\"\nmessage = \"@12000@\"\n",
     "5: uninstall.first.arguments: with the uninstaller's other texts would make the install log's header 33"},
    {"log_header_at_text", "[texts]\nuninstall_partial = \"@17000@\"\n[uninstall.second]\nprogram = \"u.exe\"\n"
                           "arguments = \"@16000@\"\n",
     "4: texts.uninstall_partial: with the uninstaller's other texts would make the install log's header 33"},
    {"log_header_at_product", "", "2: product.name: with the uninstaller's other texts would make the install log's",
     "[product]\nname = \"@9000@\"\n"},
    // Targets Windows cannot hold, or not both.
    {"same_target_in_other_case", "[[file]]\nsource = \"a.txt\"\ntarget = \"Bin/A.txt\"\n[[file]]\nsource = \"a.txt\"\n"
                                  "target = \"bin/a.TXT\"\n",
     "8: file[1].target: names the same file as file[0]"},
    {"uninstaller_target", "[[file]]\nsource = \"a.txt\"\ntarget = \"Uninstall.EXE\"\n",
     "5: file[0].target: names the same file as the uninstaller"},
    {"file_then_folder",
     "[[file]]\nsource = \"a.txt\"\ntarget = \"a/b\"\n[[file]]\nsource = \"a.txt\"\ntarget = \"A/b/c\"\n",
     "8: file[1].target: needs a folder where file[0] installs a file"},
    {"folder_then_file",
     "[[file]]\nsource = \"a.txt\"\ntarget = \"a/b/c\"\n[[file]]\nsource = \"a.txt\"\ntarget = \"A/B\"\n",
     "8: file[1].target: names a file where file[0] needs a folder"},
    {"device_with_extension", "[[file]]\nsource = \"a.txt\"\ntarget = \"docs/Nul.tar.gz\"\n",
     "5: file[0].target: has a part Windows keeps for a device"},
    {"device_as_folder", "[[file]]\nsource = \"a.txt\"\nroot = \"system\"\ntarget = \"lpt9/a.txt\"\n",
     "6: file[0].target: has a part Windows keeps for a device"},
    {"device_with_superscript", "[[file]]\nsource = \"a.txt\"\ntarget = \"COM\u00B9.log\"\n",
     "5: file[0].target: has a part Windows keeps for a device"},
    {"device_link", "[[shortcut]]\nname = \"con.lnk\"\ntarget = \"a.exe\"\n",
     "4: shortcut[0].name: has a part Windows keeps for a device"},
    {"part_ending_in_dot", "[[file]]\nsource = \"a.txt\"\ntarget = \"docs./a.txt\"\n",
     "5: file[0].target: has a part that ends in a dot or a space"},
    {"name_ending_in_space", "[[file]]\nsource = \"a.txt\"\nbeside = \"a.txt \"\ncarried = false\n",
     "5: file[0].beside: has a part that ends in a dot or a space"},
    {"control_character", "[[file]]\nsource = \"a.txt\"\ntarget = \"a\\tb.txt\"\n",
     "5: file[0].target: has a character Windows does not allow in file names"},
    {"pipe", "[install.first]\nprogram = \"a|b.exe\"\n",
     "4: install.first.program: has a character Windows does not allow in file names"},
    {"install_log_name", "[[file]]\nsource = \"a.txt\"\ntarget = \"qxun007.UQX\"\n",
     "5: file[0].target: is a name the install keeps for its own files in the destination folder"},
    {"install_log_name_as_folder", "[[file]]\nsource = \"a.txt\"\ntarget = \"QXUn123.uqx/a.txt\"\n",
     "5: file[0].target: is a name the install keeps for its own files"},
    {"same_link",
     "[[shortcut]]\nname = \"A.lnk\"\ntarget = \"a.exe\"\n[[shortcut]]\nname = \"a.LNK\"\ntarget = \"b.exe\"\n",
     "7: shortcut[1].name: names the same link as shortcut[0]"},
    {"same_registry_value", "[[registry]]\nroot = \"HKCU\"\nkey = \"Software\\\\Demo\"\nname = \"Path\"\n[[registry]]\n"
                            "root = \"HKCU\"\nkey = \"SOFTWARE\\\\demo\\\\\"\nname = \"path\"\n",
     "10: registry[1].name: repeats the key and value name of registry[0]"},
    {"same_registry_key",
     "[[registry]]\nroot = \"HKLM\"\nkey = \"Software\"\n[[registry]]\nroot = \"HKLM\"\nkey = \"software\"\n",
     "8: registry[1].key: repeats the key and value name of registry[0]"},
    // Values read strictly.
    {"short_colour", "[appearance]\ncolour = \"#12345\"\n", "4: appearance.colour: must be a colour"},
    {"hex_prefix_colour", "[appearance]\ncolour = \"#0x1234\"\n", "4: appearance.colour: must be a colour"},
    {"signed_colour", "[appearance]\nshadow_colour = \"#-12345\"\n", "4: appearance.shadow_colour: must be a colour"},
    {"local_time", "[[file]]\nsource = \"a.txt\"\nmodified = 2024-05-01T12:00:00\n",
     "5: file[0].modified: needs its UTC offset"},
    {"time_before_1601_in_utc", "[[file]]\nsource = \"a.txt\"\ncreated = 1601-01-01T00:30:00+01:00\n",
     "5: file[0].created: lies outside 1601-01-01 to 30828"},
    {"empty_picture", "[pictures]\nwelcome = \"empty.bmp\"\nembed = false\n", "4: pictures.welcome: is empty"},
    // Whole folders.
    {"folder_without_source", "[[files]]\ninclude = [\"*\"]\n", "3: files[0].source: is missing"},
    {"folder_that_is_a_file", "[[files]]\nsource = \"a.txt\"\n", "4: files[0].source: 'a.txt' is not a folder"},
    {"folder_matching_nothing", "[[files]]\nsource = \".\"\ninclude = [\"**/*.exe\"]\n",
     "5: files[0]: matches no file"},
    {"pattern_climbing_out", "[[files]]\nsource = \".\"\ninclude = [\"../**\"]\n",
     "5: files[0].include: '../**' must not contain empty, \".\" or \"..\" parts"},
    {"absolute_pattern", "[[files]]\nsource = \".\"\nexclude = [\"/etc/*\"]\n",
     "5: files[0].exclude: '/etc/*' must be a relative pattern"},
    {"pattern_not_a_list", "[[files]]\nsource = \".\"\nexclude = \"*.bmp\"\n",
     "5: files[0].exclude: must be a list of patterns"},
    {"readme_for_a_folder", "[[files]]\nsource = \".\"\nreadme = true\n", "5: files[0].readme: unknown key"},
    {"folder_onto_a_file", "[[file]]\nsource = \"a.txt\"\n[[files]]\nsource = \".\"\ninclude = [\"a.txt\"]\n",
     "6: files[0] 'a.txt'.target: names the same file as file[0]"},
};

// "@N@" stands for N letters.
std::string Expand(std::string text)
{
    const auto replace = [&](const std::string& token, const std::string& by) {
        const size_t at = text.find(token);
        if (at != std::string::npos)
            text.replace(at, token.size(), by);
    };
    for (size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at)) {
        const size_t end = text.find('@', at + 1);
        text.replace(at, end + 1 - at, std::string(std::stoul(text.substr(at + 1, end - at - 1)), 'x'));
    }
    replace("LONGTEXT", std::string(40000, 'x'));
    replace("LONGNAME", std::string(200, 'n'));
    replace("LONG", std::string(240, 'l'));
    if (text == "MANYVALUES") {
        text.clear();
        for (int i = 0; i < 32768; i++)
            text += "[[registry]]\nroot = \"HKCU\"\nkey = \"K\"\n";
    }
    return text;
}

class ManifestMistakes : public ::testing::TestWithParam<Mistake> {};

} // namespace

TEST_P(ManifestMistakes, AreReportedWithFileLineAndKey)
{
    const Mistake& m = GetParam();
    ManifestFolder folder(m.name);
    folder.Write("a.txt", "text");
    folder.Write("a.bmp", BmpBytes());
    folder.Write("empty.bmp", "");
    const std::string path = folder.Write("demo.toml", Expand(m.product) + Expand(m.manifest));
    PackageInputs inputs;
    std::vector<std::string> errors;
    EXPECT_FALSE(LoadManifest(path, inputs, errors));
    const std::string expected = path + ":" + m.expected;
    bool found = false;
    for (const std::string& e : errors)
        found = found || e.compare(0, expected.size(), expected) == 0;
    EXPECT_TRUE(found) << "expected " << expected << "\nfirst error: " << (errors.empty() ? "none" : errors[0]);
}

INSTANTIATE_TEST_SUITE_P(Manifests, ManifestMistakes, ::testing::ValuesIn(Mistakes),
                         [](const ::testing::TestParamInfo<Mistake>& info) { return std::string(info.param.name); });

TEST(ManifestMistakes, ProductNameIsRequired)
{
    ManifestFolder folder("no-name");
    const std::string path = folder.Write("demo.toml", "[texts]\nfooter = \"x\"\n");
    PackageInputs inputs;
    std::vector<std::string> errors;
    EXPECT_FALSE(LoadManifest(path, inputs, errors));
    ASSERT_FALSE(errors.empty());
    EXPECT_NE(errors[0].find("product: a [product] table with the product's name is missing"), std::string::npos);
}

TEST(ManifestMistakes, StringsFileMistakesNameThatFile)
{
    ManifestFolder folder("strings");
    folder.Write("fr.toml", "[strings]\nfooter = \"pied\"\nfoot = \"x\"\nfinish_title = \"Termin\xC3\xA9\"\n");
    const std::string path =
        folder.Write("demo.toml", "[product]\nname = \"Demo\"\ncodepage = 1251\nstrings = \"fr.toml\"\n");
    PackageInputs inputs;
    std::vector<std::string> errors;
    EXPECT_FALSE(LoadManifest(path, inputs, errors));
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], "fr.toml:3: strings.foot: unknown string slot name");
    EXPECT_EQ(errors[1], "fr.toml:4: strings.finish_title: has a character that code page 1251 cannot hold: "
                         "U+00E9 \"\xC3\xA9\", character 7");
}

// The product's name stands in a dozen texts; it is reported once, where it is written.
TEST(ManifestMistakes, ProductNameOutsideTheCodePageIsReportedOnce)
{
    ManifestFolder folder("product-code-page");
    const std::string path = folder.Write("demo.toml", "[product]\nname = \"\xE6\x97\xA5\"\n");
    PackageInputs inputs;
    std::vector<std::string> errors;
    EXPECT_FALSE(LoadManifest(path, inputs, errors));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], path + ":2: product.name: has a character that code page 1252 cannot hold: U+65E5 "
                         "\"\xE6\x97\xA5\", character 1");
}

// Names close to the refused ones that Windows holds, and names used twice
// in different places.
TEST(ManifestMistakes, NamesWindowsHoldsAreAccepted)
{
    ManifestFolder folder("near-misses");
    folder.Write("a.txt", "text");
    const std::string path = folder.Write("demo.toml", R"([product]
name = "Demo"
[[file]]
source = "a.txt"
target = "COM10.txt"
[[file]]
source = "a.txt"
target = "console/nul_device.txt"
[[file]]
source = "a.txt"
target = "QXUn01.uqx"
[[file]]
source = "a.txt"
root = "system"
target = "QXUn001.uqx"
[[file]]
source = "a.txt"
root = "windows"
target = "console/NUL_DEVICE.txt"
[[file]]
source = "a.txt"
target = "a.b/.config"
[[shortcut]]
name = "Demo.lnk"
target = "COM10.txt"
[[shortcut]]
name = "demo.LNK"
folder = "desktop"
target = "COM10.txt"
[[registry]]
root = "HKCU"
key = "Software\\Demo"
name = "Path"
[[registry]]
root = "HKLM"
key = "Software\\Demo"
name = "Path"
[[registry]]
root = "HKCU"
key = "Software\\Demo\\Path"
[[registry]]
root = "HKCU"
key = "Software"
name = "Demo\\Path"
)");
    PackageInputs inputs;
    std::vector<std::string> errors;
    EXPECT_TRUE(LoadManifest(path, inputs, errors)) << errors[0];
}
