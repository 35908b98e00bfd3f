#include "package/package_writer.h"
#include <gtest/gtest.h>
#include <functional>

namespace {

FileEntry CarriedFile()
{
    FileEntry f;
    f.root = 0;
    f.relativeName = "\\bin\\demo.exe";
    f.attributes = 0x21;
    f.created = 0x01D9A1B2C3D4E5F6ull;
    f.modified = 0x01D9A1B2C3D4E5F7ull;
    f.body = {'M', 'Z', 0, 1};
    return f;
}

FileEntry ReferencedFile()
{
    FileEntry f;
    f.kind = FILE_REFERENCE;
    f.root = 2;
    f.relativeName = "\\demo.ini";
    f.sourceName = "extra\\demo.ini";
    return f;
}

ByteCursor Over(Bytes& b)
{
    return CursorOver(b.data(), b.size());
}

// Every proper prefix of a record is damaged and never read past.
void ExpectEveryCutDamaged(const Bytes& full, const std::function<int(ByteCursor&)>& read)
{
    for (size_t cut = 0; cut < full.size(); cut++) {
        Bytes part(full.begin(), full.begin() + (long)cut);
        ByteCursor c = Over(part);
        EXPECT_EQ(read(c), 0) << "cut at " << cut;
    }
}

} // namespace

TEST(FileRecords, CarriedFileRoundTrips)
{
    Bytes b;
    PutFileRecord(b, CarriedFile());
    ByteCursor c = Over(b);
    FileRecord r;
    ASSERT_EQ(ReadFileRecordBytes(c, r), 1);
    EXPECT_FALSE(IsReference(r));
    EXPECT_STREQ(r.relativeName, "\\bin\\demo.exe");
    EXPECT_EQ(r.attributes, 0x21u);
    EXPECT_EQ(r.created, 0x01D9A1B2C3D4E5F6ull);
    EXPECT_EQ(r.modified, 0x01D9A1B2C3D4E5F7ull);
    EXPECT_EQ(r.size, 4u);
    EXPECT_EQ(r.body[0], 'M');
    EXPECT_EQ(c.pos, c.end);
    EXPECT_EQ(b.size(), 1 + 2 + 14 + 4 + 8 + 8 + 4 + 4u);
}

TEST(FileRecords, ReadmeMarkerOnBothForms)
{
    FileEntry carried = CarriedFile();
    carried.kind = 0x80;
    FileEntry referenced = ReferencedFile();
    referenced.kind = 0x81;
    Bytes b;
    PutFileRecord(b, carried);
    PutFileRecord(b, referenced);
    ByteCursor c = Over(b);
    FileRecord r;
    ASSERT_EQ(ReadFileRecordBytes(c, r), 1);
    EXPECT_EQ(r.kind, 0x80);
    EXPECT_FALSE(IsReference(r));
    ASSERT_EQ(ReadFileRecordBytes(c, r), 1);
    EXPECT_EQ(r.kind, 0x81);
    EXPECT_TRUE(IsReference(r));
    EXPECT_STREQ(r.sourceName, "extra\\demo.ini");
    EXPECT_EQ(c.pos, c.end);
}

TEST(FileRecords, RootCodesZeroToTwoOnly)
{
    for (int16_t root : {0, 1, 2, 3, -1}) {
        FileEntry f = CarriedFile();
        f.root = root;
        Bytes b;
        PutFileRecord(b, f);
        ByteCursor c = Over(b);
        FileRecord r;
        EXPECT_EQ(ReadFileRecordBytes(c, r), root >= 0 && root <= 2) << root;
    }
}

TEST(FileRecords, SourceNameMustHaveItsStoredLength)
{
    Bytes b;
    PutFileRecord(b, ReferencedFile());
    const size_t lengthAt = 1 + 2 + 10;
    for (int delta : {-1, +1}) {
        Bytes bad = b;
        bad[lengthAt] = (uint8_t)(bad[lengthAt] + delta);
        bad.push_back(0);
        ByteCursor c = Over(bad);
        FileRecord r;
        EXPECT_EQ(ReadFileRecordBytes(c, r), 0) << delta;
    }
}

TEST(FileRecords, CutOffRecordsAreDamaged)
{
    FileRecord r;
    for (const FileEntry& f : {CarriedFile(), ReferencedFile()}) {
        Bytes b;
        PutFileRecord(b, f);
        ExpectEveryCutDamaged(b, [&](ByteCursor& c) { return ReadFileRecordBytes(c, r); });
    }
}

TEST(Sections, CountsAreSignedAndAnUninstallerOnlySectionEndsAfterItsBody)
{
    Bytes b;
    PutU16(b, 1);
    PutFileRecord(b, CarriedFile());
    const size_t fileSectionLength = b.size();
    PutU16(b, 0);
    PutU16(b, 0x8000);
    ByteCursor c = Over(b);
    ASSERT_EQ(ReadSectionCount(c), 1);
    FileRecord r;
    ASSERT_EQ(ReadFileRecordBytes(c, r), 1);
    EXPECT_EQ((size_t)(c.pos - b.data()), fileSectionLength);
    EXPECT_EQ(ReadSectionCount(c), 0);
    EXPECT_EQ(ReadSectionCount(c), -1);
    EXPECT_EQ(ReadSectionCount(c), -1);
}

TEST(ShortcutRecords, EveryFieldRoundTrips)
{
    ShortcutEntry s;
    s.targetFolder = 1;
    s.target = "\\notepad.exe";
    s.arguments = "100% done.txt";
    s.iconFolder = 2;
    s.icon = "\\demo.ico";
    s.iconIndex = -3;
    s.linkFolder = LINK_START_MENU;
    s.linkName = "Demo.lnk";
    Bytes b;
    PutShortcutRecord(b, s);
    ByteCursor c = Over(b);
    ShortcutRecord r;
    ASSERT_EQ(ReadShortcutRecordBytes(c, r), 1);
    EXPECT_EQ(r.targetFolder, 1);
    EXPECT_STREQ(r.target, "\\notepad.exe");
    EXPECT_STREQ(r.arguments, "100% done.txt");
    EXPECT_EQ(r.iconFolder, 2);
    EXPECT_TRUE(HasIcon(r));
    EXPECT_EQ(r.iconIndex, -3);
    EXPECT_EQ(r.linkFolder, LINK_START_MENU);
    EXPECT_STREQ(r.linkName, "Demo.lnk");
    EXPECT_EQ(c.pos, c.end);
    ExpectEveryCutDamaged(b, [&](ByteCursor& cut) { return ReadShortcutRecordBytes(cut, r); });
}

TEST(ShortcutRecords, LoneBackslashMeansNoIconAndItsFolderIsNotJudged)
{
    ShortcutEntry s;
    s.target = "\\demo.exe";
    s.icon = "\\";
    s.iconFolder = 9;
    s.linkName = "Demo.lnk";
    Bytes b;
    PutShortcutRecord(b, s);
    ByteCursor c = Over(b);
    ShortcutRecord r;
    ASSERT_EQ(ReadShortcutRecordBytes(c, r), 1);
    EXPECT_FALSE(HasIcon(r));
}

TEST(ShortcutRecords, FolderCodesOutOfRangeAreDamaged)
{
    const auto read = [](ShortcutEntry s) {
        Bytes b;
        PutShortcutRecord(b, s);
        ByteCursor c = Over(b);
        ShortcutRecord r;
        return ReadShortcutRecordBytes(c, r);
    };
    ShortcutEntry s;
    s.target = "\\demo.exe";
    s.icon = "\\demo.ico";
    s.linkName = "Demo.lnk";
    EXPECT_EQ(read(s), 1);
    ShortcutEntry badTarget = s;
    badTarget.targetFolder = 3;
    EXPECT_EQ(read(badTarget), 0);
    ShortcutEntry badIcon = s;
    badIcon.iconFolder = 3;
    EXPECT_EQ(read(badIcon), 0);
    ShortcutEntry badLink = s;
    badLink.linkFolder = 5;
    EXPECT_EQ(read(badLink), 0);
}

TEST(RegistryRecords, NumberStringAndStopWithMessage)
{
    RegistryEntry number;
    number.root = ROOT_LOCAL_MACHINE;
    number.kind = VALUE_NUMBER;
    number.number = 0xDEADBEEF;
    number.key = "Software\\Demo";
    number.valueName = "Build";
    RegistryEntry text;
    text.root = ROOT_CURRENT_CONFIG;
    text.data = {'1', '.', '0', 0};
    text.key = "Software\\Demo";
    text.flags = REGISTRY_STOP_ON_FAILURE;
    text.message = "Cannot write the version.";
    Bytes b;
    PutRegistryRecord(b, number);
    PutRegistryRecord(b, text);
    ByteCursor c = Over(b);
    RegistryRecord r;
    ASSERT_EQ(ReadRegistryRecordBytes(c, r), 1);
    EXPECT_EQ(r.root, ROOT_LOCAL_MACHINE);
    EXPECT_EQ(r.number, 0xDEADBEEFu);
    EXPECT_EQ(r.length, 4);
    EXPECT_STREQ(r.valueName, "Build");
    EXPECT_STREQ(r.message, "");
    ASSERT_EQ(ReadRegistryRecordBytes(c, r), 1);
    EXPECT_EQ(r.kind, VALUE_STRING);
    EXPECT_EQ(r.length, 4);
    EXPECT_STREQ((const char*)r.data, "1.0");
    EXPECT_STREQ(r.valueName, "");
    EXPECT_STREQ(r.message, "Cannot write the version.");
    EXPECT_EQ(c.pos, c.end);
    Bytes second(b.begin() + 2 + 4 + 16 + 8 + 1, b.end());
    ExpectEveryCutDamaged(second, [&](ByteCursor& cut) { return ReadRegistryRecordBytes(cut, r); });
}
