#include "base/paths.h"
#include "base/shared.h"
#include "uninstall/arguments.h"
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Split(const char* line)
{
    std::vector<char> text(line, line + strlen(line) + 1);
    char* arguments[MAX_ARGUMENTS];
    const int n = SplitArguments(text.data(), arguments);
    return std::vector<std::string>(arguments, arguments + n);
}

using Texts = std::vector<std::string>;

} // namespace

// The forms the uninstall entry starts the uninstaller with, and its own.
TEST(UninstallArguments, QuotedPathsWithSpacesAreWhole)
{
    EXPECT_EQ(Split("\"C:\\Program files\\D\\QXUn000.uqx\" \"C:\\Program files\\D\\QXUn001.uqx\""),
              (Texts{"C:\\Program files\\D\\QXUn000.uqx", "C:\\Program files\\D\\QXUn001.uqx"}));
    EXPECT_EQ(Split("\"C:\\W\\Dezoda32.exe \" /U \"C:\\D\\a.uqx\" \"C:\\D\\b.uqx\""),
              (Texts{"C:\\W\\Dezoda32.exe ", "/U", "C:\\D\\a.uqx", "C:\\D\\b.uqx"}));
    EXPECT_EQ(Split("  u.exe\t/T 42   \"log\"  "), (Texts{"u.exe", "/T", "42", "log"}));
    EXPECT_EQ(Split("a\"b c\"d \"\""), (Texts{"ab cd", ""}));
    EXPECT_EQ(Split(""), Texts{});
    EXPECT_EQ(Split("1 2 3 4 5 6 7 8 9 10").size(), (size_t)MAX_ARGUMENTS);
}

TEST(UninstallArguments, DoubleByteCharactersKeepTheirSecondByte)
{
    static const unsigned char ranges932[12] = {0x81, 0x9F, 0xE0, 0xFC};
    memcpy(LeadByteRanges, ranges932, sizeof LeadByteRanges);
    // 0x83 0x5C is one character whose second byte is a backslash, and
    // 0x81 0x40 the wide space, which separates nothing.
    EXPECT_EQ(Split("\"C:\\\x83\x5C\\x\" a\x81\x40" "b"), (Texts{"C:\\\x83\x5C\\x", "a\x81\x40" "b"}));
    memset(LeadByteRanges, 0, sizeof LeadByteRanges);
}
