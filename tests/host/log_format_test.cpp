#include "engine/log_format.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <string.h>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

LogHeader ExampleHeader()
{
    LogHeader h = {};
    h.product = "A";
    h.question = "B";
    h.success = "C";
    h.partial = "D";
    return h;
}

// A header with both uninstall commands and the closing question.
LogHeader HeaderWithCommands(uint16_t restartMode, const char* sessionQuestion)
{
    LogHeader h = ExampleHeader();
    h.restartMode = restartMode;
    h.sessionQuestion = sessionQuestion;
    h.first = UninstallCommand{1, "C:\\D\\u.exe", "/x", 0x03, "Cannot run."};
    h.second = UninstallCommand{1, "C:\\W\\r.exe", "/y", 0x80, nullptr};
    return h;
}

Bytes Header(const LogHeader& h)
{
    Bytes out(LOG_HEADER_FIXED + LOG_HEADER_MAX + 100);
    out.resize(BuildLogHeader(out.data(), out.size(), h));
    return out;
}

Bytes Record(const LogRecord& r)
{
    Bytes out(LOG_RECORD_MAX);
    out.resize(BuildLogRecord(out.data(), r));
    return out;
}

Bytes Counted(const std::string& text)
{
    const size_t n = text.size() + 1;
    Bytes out(2 + n, 0);
    out[0] = (uint8_t)n;
    out[1] = (uint8_t)(n >> 8);
    memcpy(&out[2], text.c_str(), n);
    return out;
}

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

} // namespace

// The worked example of the format: no uninstall commands, no question at the
// end, and the uninstaller's record right after opening.
TEST(InstallLogBytes, OpenedLogIsTheWorkedExampleOf121Bytes)
{
    Bytes log = Header(ExampleHeader());
    Append(log, Record(LogRecord{LOG_FILE, 1, "C:\\D\\QXUn000.uqx", 0, nullptr}));
    Bytes expected = {0x00, 0, 0, 0, 0, 0x5D, 0x00};
    Append(expected, Counted("Seznam nainstalovan\xFD" "ch soucasti (neupravovat)"));
    Append(expected, Counted("A - Uninstall."));
    for (const char* text : {"B", "C", "D", "", ""})
        Append(expected, Counted(text));
    expected.push_back(0);
    for (const char* text : {"", "", ""})
        Append(expected, Counted(text));
    Append(expected, {0x00, 0x01, 0x11, 0x00});
    const char path[] = "C:\\D\\QXUn000.uqx";
    expected.insert(expected.end(), path, path + sizeof path);
    EXPECT_EQ(log.size(), 121u);
    EXPECT_EQ(log, expected);
}

TEST(InstallLogBytes, CommandsAndTheClosingQuestionSetTheirFlags)
{
    LogHeader h = HeaderWithCommands(1, "Restart?");
    const Bytes header = Header(h);
    ASSERT_FALSE(header.empty());
    EXPECT_EQ(header[0], LOG_ASKS_RESTART | LOG_HAS_UNINSTALL_1 | LOG_HAS_UNINSTALL_2 | LOG_UNINSTALL_2_FLAG);
    EXPECT_EQ(header[5] | header[6] << 8, (int)header.size() - LOG_HEADER_FIXED) << "H points at the first record";
    const auto endsWith = [](const Bytes& header, const std::vector<Bytes>& parts) {
        Bytes tail;
        for (const Bytes& p : parts)
            Append(tail, p);
        return header.size() >= tail.size() && std::equal(tail.begin(), tail.end(), header.end() - tail.size());
    };
    EXPECT_TRUE(endsWith(header, {Counted("Restart?"), Counted("C:\\D\\u.exe"), Counted("/x"), {0x03},
                                  Counted("Cannot run."), Counted("C:\\W\\r.exe"), Counted("/y")}));

    h.restartMode = 2;
    h.first.flags = 0x01; // no message without its flag
    const Bytes logOff = Header(h);
    EXPECT_EQ(logOff[0] & (LOG_ASKS_RESTART | LOG_ASKS_LOGOFF), LOG_ASKS_LOGOFF);
    EXPECT_TRUE(endsWith(logOff, {Counted("/x"), {0x01}, Counted(""), Counted("C:\\W\\r.exe"), Counted("/y")}));
}

// What the uninstaller reads back: the header as written, and nothing from a
// header whose block or last item is cut off.
TEST(InstallLogBytes, HeaderReadsBackAndACutHeaderIsRefused)
{
    const LogHeader h = HeaderWithCommands(2, "Log off?");
    Bytes log = Header(h);
    LogHeader r = {};
    uint8_t flags = 0;
    ASSERT_TRUE(ReadLogHeader(log.data(), log.size(), r, &flags));
    EXPECT_EQ(flags, LOG_ASKS_LOGOFF | LOG_HAS_UNINSTALL_1 | LOG_HAS_UNINSTALL_2 | LOG_UNINSTALL_2_FLAG);
    EXPECT_STREQ(r.product, "A") << "the title without its English ending";
    EXPECT_STREQ(r.question, "B");
    EXPECT_STREQ(r.success, "C");
    EXPECT_STREQ(r.partial, "D");
    EXPECT_EQ(r.restartMode, 2);
    EXPECT_STREQ(r.sessionQuestion, "Log off?");
    EXPECT_TRUE(r.first.present && r.second.present);
    EXPECT_STREQ(r.first.path, "C:\\D\\u.exe");
    EXPECT_STREQ(r.first.arguments, "/x");
    EXPECT_EQ(r.first.flags, 0x03);
    EXPECT_STREQ(r.first.message, "Cannot run.");
    EXPECT_STREQ(r.second.path, "C:\\W\\r.exe");
    EXPECT_STREQ(r.second.arguments, "/y");
    EXPECT_EQ(r.second.flags, 0x80);

    Bytes plain = Header(ExampleHeader());
    ASSERT_TRUE(ReadLogHeader(plain.data(), plain.size(), r, &flags));
    EXPECT_FALSE(r.first.present || r.second.present || r.restartMode);
    for (size_t cut = 0; cut < plain.size(); cut++) {
        Bytes shorter(plain.begin(), plain.begin() + (long)cut);
        EXPECT_FALSE(ReadLogHeader(shorter.data(), shorter.size(), r, &flags)) << cut;
    }
    Bytes shortBlock = plain;
    shortBlock[5] = (uint8_t)(shortBlock[5] - 1); // H one short of the last item
    EXPECT_FALSE(ReadLogHeader(shortBlock.data(), shortBlock.size(), r, &flags));
}

TEST(InstallLogBytes, HeaderThatWouldPassItsSignedLengthIsRefused)
{
    LogHeader h = ExampleHeader();
    const std::string longText(LOG_HEADER_MAX, 'x');
    h.question = longText.c_str();
    EXPECT_TRUE(Header(h).empty());
    const std::string fits(LOG_HEADER_MAX - 200, 'x');
    h.question = fits.c_str();
    EXPECT_FALSE(Header(h).empty());
}

TEST(InstallLogBytes, RecordsReadBackAndDamageEndsTheReading)
{
    Bytes log = Header(ExampleHeader());
    Append(log, Record(LogRecord{LOG_FILE, 1, "C:\\D\\QXUn000.uqx", 0, nullptr}));
    Append(log, Record(LogRecord{LOG_REGISTRY, 0, "Software\\Demo", 2, "Path"}));
    Append(log, Record(LogRecord{LOG_REGISTRY, 1, "Software\\Demo", 1, "?"}));
    uint32_t count = 99;
    ByteCursor c;
    ASSERT_TRUE(OpenLogBytes(log.data(), log.size(), &count, &c));
    EXPECT_EQ(count, 0u);
    LogRecord r;
    ASSERT_TRUE(ReadLogRecord(c, r));
    EXPECT_STREQ(r.text, "C:\\D\\QXUn000.uqx");
    ASSERT_TRUE(ReadLogRecord(c, r));
    EXPECT_EQ(r.kind, LOG_REGISTRY);
    EXPECT_EQ(r.root, 2);
    EXPECT_STREQ(r.valueName, "Path");
    EXPECT_STREQ(r.text, "Software\\Demo");
    ASSERT_TRUE(ReadLogRecord(c, r));
    EXPECT_EQ(r.flag, 1);
    EXPECT_FALSE(ReadLogRecord(c, r)) << "the end";

    // A path length above 260 or a value name above 200 ends the reading.
    Bytes damaged = {LOG_FILE, 0, 0x05, 0x01};
    damaged.resize(400, 'a');
    c = CursorOver(damaged.data(), damaged.size());
    EXPECT_FALSE(ReadLogRecord(c, r));
    damaged = {LOG_REGISTRY, 0, 0x02, 0x00, 0x01, 0x00, 0xC9, 0x00};
    damaged.resize(400, 'a');
    c = CursorOver(damaged.data(), damaged.size());
    EXPECT_FALSE(ReadLogRecord(c, r));
    const uint8_t negativeHeader[] = {0, 1, 0, 0, 0, 0x00, 0x80};
    EXPECT_FALSE(OpenLogBytes((uint8_t*)negativeHeader, sizeof negativeHeader, &count, &c));
}

TEST(InstallLogBytes, FieldsBeyondTheirBoundsAreNotWritten)
{
    const std::string longPath(LOG_PATH_MAX, 'p');
    EXPECT_TRUE(Record(LogRecord{LOG_FILE, 0, longPath.c_str(), 0, nullptr}).empty());
    const std::string longName(LOG_VALUE_NAME_MAX, 'n');
    EXPECT_TRUE(Record(LogRecord{LOG_REGISTRY, 0, "K", 1, longName.c_str()}).empty());
    EXPECT_EQ(Record(LogRecord{LOG_FILE, 0, longPath.substr(1).c_str(), 0, nullptr}).size(), 4u + LOG_PATH_MAX);
}

// The uninstaller changes nothing unless the log is whole: its header, then
// as many records as its count names, and behind them at most what an append
// cut off leaves.
TEST(InstallLogBytes, OnlyAWholeLogIsWhole)
{
    Bytes whole = Header(ExampleHeader());
    Append(whole, Record(LogRecord{LOG_FILE, 1, "C:\\D\\QXUn000.uqx", 0, nullptr}));
    Append(whole, Record(LogRecord{LOG_REGISTRY, 1, "Software\\Demo\\", 1, "?"}));
    whole[1] = 2;
    uint32_t count = 0;
    Bytes log = whole;
    ASSERT_TRUE(LogIsWhole(log.data(), log.size(), &count));
    EXPECT_EQ(count, 2u);

    for (size_t cut = 0; cut < whole.size(); cut++) {
        log.assign(whole.begin(), whole.begin() + (long)cut);
        EXPECT_FALSE(LogIsWhole(log.data(), log.size(), &count)) << "cut at " << cut;
    }
    const auto damaged = [&](size_t offset, uint8_t value) {
        log = whole;
        log[offset] = value;
        return !LogIsWhole(log.data(), log.size(), &count);
    };
    EXPECT_TRUE(damaged(1, 3)) << "a count larger than the records";
    EXPECT_FALSE(damaged(1, 1)) << "a record behind the count: an install cut off before it counted it";
    EXPECT_TRUE(damaged(1, 0)) << "the count of a setup that never finished";
    EXPECT_TRUE(damaged(5, 0xF0)) << "H past the end";
    EXPECT_TRUE(damaged(6, 0x80)) << "H negative";
    const size_t firstRecord = 7 + (whole[5] | whole[6] << 8);
    log = whole;
    StoreU16(&log[firstRecord + 2], LOG_PATH_MAX + 1);
    EXPECT_FALSE(LogIsWhole(log.data(), log.size(), &count)) << "a path length past 260";
    const size_t second = firstRecord + 4 + 17;
    log = whole;
    StoreU16(&log[second + 6], LOG_VALUE_NAME_MAX + 1);
    EXPECT_FALSE(LogIsWhole(log.data(), log.size(), &count)) << "a value-name length past 200";
    log = whole;
    log.resize(whole.size() + LOG_RECORD_MAX);
    EXPECT_TRUE(LogIsWhole(log.data(), log.size(), &count)) << "a record cut off behind the last";
    log.push_back(0);
    EXPECT_FALSE(LogIsWhole(log.data(), log.size(), &count)) << "more than one record behind the last";
}
