// The writer refuses what its readers would get back otherwise, and takes
// everything up to those limits.
#include "package/package_writer.h"
#include <gtest/gtest.h>
#include <functional>

namespace {

ItemData Item(ItemForm form, const std::string& name, Bytes data)
{
    ItemData item;
    item.form = form;
    item.name = name;
    item.data = std::move(data);
    return item;
}

CommandData Command(const std::string& arguments, const std::string& message)
{
    CommandData c;
    c.present = true;
    c.path = "\\a.exe";
    c.arguments = arguments;
    c.flags = COMMAND_HAS_MESSAGE;
    c.message = message;
    return c;
}

struct Refusal {
    const char* what;
    std::function<bool(Bytes&)> put;
};

const std::string Long(32767, 'x'); // one byte more than a counted text holds
const std::string WithNul("a\0b", 3);
const int32_t Placement[4] = {0, 0, 100, 100};

} // namespace

TEST(PackageWriter, RefusesWhatItsReadersWouldMisreadAndWritesNothing)
{
    const Refusal refusals[] = {
        {"empty embedded sound", [](Bytes& b) { return PutSoundRecord(b, Item(ITEM_EMBEDDED, "", {}), 0); }},
        {"nameless external sound", [](Bytes& b) { return PutSoundRecord(b, Item(ITEM_EXTERNAL, "", {1}), 0); }},
        {"empty embedded sheet", [](Bytes& b) { return PutSheetRecord(b, Item(ITEM_EMBEDDED, "a", {}), 0); }},
        {"nameless external banner",
         [](Bytes& b) { return PutBannerRecord(b, Item(ITEM_EXTERNAL, "", {}), Placement); }},
        {"unknown item form", [](Bytes& b) { return PutSheetRecord(b, Item((ItemForm)3, "a", {1}), 0); }},
        {"long counted text", [](Bytes& b) { return PutCountedText(b, Long); }},
        {"counted text with a 0 byte", [](Bytes& b) { return PutCountedText(b, WithNul); }},
        {"long table text", [](Bytes& b) { return PutStringTable(b, {"a", Long + "x"}); }},
        {"table text with a 0 byte", [](Bytes& b) { return PutStringTable(b, {WithNul}); }},
        {"long command arguments",
         [](Bytes& b) { return PutCommandRecord(b, COMMAND_INSTALL, Command(std::string(70000, 'a'), "")); }},
        {"long command message", [](Bytes& b) { return PutCommandRecord(b, COMMAND_UNINSTALL_1, Command("", Long)); }},
        {"long shortcut arguments",
         [](Bytes& b) {
             ShortcutEntry s;
             s.arguments = std::string(70000, 'a');
             return PutShortcutRecord(b, s);
         }},
        {"long registry data",
         [](Bytes& b) {
             RegistryEntry v;
             v.data = Bytes(65536, 'd');
             return PutRegistryRecord(b, v);
         }},
        {"long registry message",
         [](Bytes& b) {
             RegistryEntry v;
             v.flags = REGISTRY_STOP_ON_FAILURE;
             v.message = Long;
             return PutRegistryRecord(b, v);
         }},
        {"file target with a 0 byte",
         [](Bytes& b) {
             FileEntry f;
             f.relativeName = "\\a" + WithNul;
             return PutFileRecord(b, f);
         }},
        {"long name beside the setup program",
         [](Bytes& b) {
             FileEntry f;
             f.kind = FILE_REFERENCE;
             f.sourceName = std::string(65536, 'n');
             return PutFileRecord(b, f);
         }},
    };
    for (const Refusal& r : refusals) {
        Bytes out;
        EXPECT_FALSE(r.put(out)) << r.what;
        EXPECT_TRUE(out.empty()) << r.what;
    }
}

// The longest counted text comes back whole through the signed reader.
TEST(PackageWriter, LongestCountedTextReadsBackWhole)
{
    const std::string longest(32766, 'x');
    Bytes out;
    ASSERT_TRUE(PutCommandRecord(out, COMMAND_UNINSTALL_1, Command(longest, longest)));
    ByteCursor c = CursorOver(out.data(), out.size());
    const CommandRecord r = ReadCommandRecord(c, COMMAND_UNINSTALL_1);
    EXPECT_EQ(r.arguments, longest);
    EXPECT_EQ(r.message, longest);
    EXPECT_EQ(c.pos, c.end);
}

// A second uninstall command carries no message, so its message is not judged.
TEST(PackageWriter, SecondUninstallCommandIgnoresItsMessage)
{
    Bytes out;
    EXPECT_TRUE(PutCommandRecord(out, COMMAND_UNINSTALL_2, Command("", Long)));
}

TEST(PackageWriter, PayloadWindowBeyondTheOffsetsReachIsRefused)
{
    const Bytes data(100000, 'z');
    Bytes payload;
    EXPECT_FALSE(PackPayload(data, PackMethod{PACK_VERSION, {65536, 255}, COMPRESS_FAST}, payload));
    EXPECT_TRUE(payload.empty());
    EXPECT_TRUE(PackPayload(data, PackMethod{PACK_VERSION, {65535, 255}, COMPRESS_FAST}, payload));

    PackageParts parts;
    parts.data = data;
    parts.method.stream = StreamParameters{70000, 255};
    Bytes executable(64, 0x90);
    EXPECT_FALSE(AppendPackage(executable, parts));
    EXPECT_EQ(executable, Bytes(64, 0x90));
}
