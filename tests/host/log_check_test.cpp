// Which logs the uninstaller believes and which records the rollback replays:
// a real install's log, and one record of each kind no install writes; the
// names beside installed files that carry the log's number.
#include "engine/log_check.h"
#include "base/paths.h"
#include "engine/log_names.h"
#include "package/data_records.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

const char Product[] = "C:\\Program Files\\Product\\";
const InstallFolders Folders = {{Product, "C:\\windows\\", "C:\\windows\\system32\\",
                                 "C:\\users\\u\\Start Menu\\Programs\\", "C:\\users\\u\\Desktop\\", "", "",
                                 "C:\\users\\u\\Start Menu\\"},
                                8};

LogRecord File(const char* path)
{
    return LogRecord{LOG_FILE, 0, path, 0, nullptr};
}

LogRecord Key(uint16_t root, const char* key)
{
    return LogRecord{LOG_REGISTRY, 1, key, root, "?"};
}

// What an install of a product with files, links, values and a file type
// logs, then the record of a row.
Bytes LogWith(const LogRecord& uninstaller, const LogRecord* extra)
{
    LogHeader h = {};
    h.product = h.question = h.success = h.partial = "";
    Bytes log(LOG_HEADER_FIXED + LOG_HEADER_MAX);
    log.resize(BuildLogHeader(log.data(), log.size(), h));
    std::vector<LogRecord> records = {
        uninstaller,
        File("C:\\Program Files\\Product\\product.exe"),
        LogRecord{LOG_FILE, 1, "C:\\Program Files\\Product\\docs\\deep\\manual.txt", 0, nullptr},
        File("c:\\WINDOWS\\System32\\qi.dll"),
        LogRecord{LOG_FILE, 1, "C:\\users\\u\\Start Menu\\Programs\\Product\\Product.lnk", 0, nullptr},
        File("C:\\users\\u\\Desktop\\Product.lnk"),
        Key(ROOT_CURRENT_USER, "Software\\Vendor\\"),
        LogRecord{LOG_REGISTRY, 0, "Software\\Vendor\\Product\\", ROOT_CURRENT_USER, "Path"},
        LogRecord{LOG_REGISTRY, 0, "Software\\Microsoft\\Windows\\CurrentVersion\\Run\\", ROOT_CURRENT_USER, "Product"},
        Key(ROOT_CLASSES, ".prd\\"),
        Key(ROOT_LOCAL_MACHINE, "Software\\Classes\\Product.Document\\"),
        Key(ROOT_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\product.exe\\"),
        Key(ROOT_USERS, "S-1-5-21-7\\Software\\Vendor\\"),
        Key(ROOT_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Product 1.0 QX001"),
        LogRecord{7, 0, "", 0, nullptr},
    };
    if (extra)
        records.push_back(*extra);
    StoreU32(log.data() + LOG_COUNT_OFFSET, (uint32_t)records.size());
    for (const LogRecord& r : records) {
        uint8_t bytes[LOG_RECORD_MAX];
        const size_t n = BuildLogRecord(bytes, r);
        log.insert(log.end(), bytes, bytes + n);
    }
    return log;
}

const LogRecord Uninstaller = {LOG_FILE, 1, "C:\\Program Files\\Product\\QXUn000.uqx", 0, nullptr};

} // namespace

TEST(LogCheck, ARealInstallIsBelievedAndEveryRecordNoInstallWritesIsRefused)
{
    Bytes real = LogWith(Uninstaller, nullptr);
    EXPECT_EQ(FirstRefusedRecord(real.data(), real.size(), Folders), -1);
    const uint32_t last = LoadU32(real.data() + LOG_COUNT_OFFSET); // where a row's record stands

    const struct {
        const char* what;
        LogRecord record;
    } refused[] = {
        {"a file outside every install folder", File("C:\\Data\\thesis.docx")},
        {"a relative path", File("Product\\a.txt")},
        {"a folder's name that only begins like the product's", File("C:\\Program Files\\Production\\a.txt")},
        {"the folder itself", File(Product)},
        {"..", File("C:\\Program Files\\Product\\..\\..\\Windows\\notepad.exe")},
        {".", File("C:\\Program Files\\Product\\.\\a.txt")},
        {"dots and a space", File("C:\\Program Files\\Product\\.. \\x.txt")},
        {"an empty component", File("C:\\Program Files\\Product\\\\a.txt")},
        {"a slash", File("C:\\Program Files\\Product\\a/../../../x.txt")},
        {"a colon", File("C:\\Program Files\\Product\\a.txt:hidden")},
        {"an empty key", Key(ROOT_LOCAL_MACHINE, "")},
        {"a key directly below its root", Key(ROOT_CURRENT_USER, "Software\\")},
        {"the same without its backslash", Key(ROOT_CURRENT_USER, "Software")},
        {"a shared key in capitals", Key(ROOT_LOCAL_MACHINE, "SOFTWARE\\MICROSOFT\\")},
        {"Run", Key(ROOT_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run\\")},
        {"Uninstall", Key(ROOT_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall")},
        {"App Paths", Key(ROOT_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\")},
        {"Classes", Key(ROOT_LOCAL_MACHINE, "Software\\Classes\\")},
        {"a shared class", Key(ROOT_LOCAL_MACHINE, "Software\\Classes\\CLSID\\")},
        {"a shared class of HKEY_CLASSES_ROOT", Key(ROOT_CLASSES, "CLSID\\")},
        {"a 32-bit mirror of a shared key", Key(ROOT_LOCAL_MACHINE, "Software\\Wow6432Node\\Microsoft\\")},
        {"Policies", Key(ROOT_CURRENT_USER, "Software\\Policies")},
        {"Services", Key(ROOT_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\")},
        {"an empty component of a key", Key(ROOT_CURRENT_USER, "Software\\\\Vendor\\")},
        {"a user's own software key", Key(ROOT_USERS, "S-1-5-21-7\\Software\\")},
        {"a root no install writes to", Key(9, "Software\\Vendor\\")},
    };
    for (const auto& row : refused) {
        SCOPED_TRACE(row.what);
        Bytes log = LogWith(Uninstaller, &row.record);
        EXPECT_EQ(FirstRefusedRecord(log.data(), log.size(), Folders), (long)last);
        // The rollback passes the one record over.
        EXPECT_FALSE(RecordIsBelievable(row.record, last, Folders));
    }

    const LogRecord elsewhere[] = {File("C:\\Program Files\\Product\\setup.exe"), File("C:\\windows\\QXUn000.uqx"),
                                   File("C:\\Program Files\\Product\\QXUn00x.uqx"),
                                   Key(ROOT_CURRENT_USER, "Software\\Vendor\\")};
    for (const LogRecord& uninstaller : elsewhere) {
        SCOPED_TRACE(uninstaller.text);
        Bytes log = LogWith(uninstaller, nullptr);
        EXPECT_EQ(FirstRefusedRecord(log.data(), log.size(), Folders), 0) << "not the uninstaller beside the log";
    }

    Bytes cut = LogWith(Uninstaller, nullptr);
    cut.resize(cut.size() - 1);
    EXPECT_EQ(FirstRefusedRecord(cut.data(), cut.size(), Folders), (long)last - 1) << "a record cut off";
}

// The names beside the files carry the log's number, and never pass the
// path buffer.
TEST(LogNames, CarryTheLogsNumberAndFitThePathBuffer)
{
    const struct {
        const char* log;
        bool numbered;
    } logs[] = {{"C:\\P\\QXUn007.uqx", true}, {"qxun007.UQX", true},   {"C:\\P\\QXUn07.uqx", false},
                {"C:\\P\\QXUn0077.uqx", false}, {"C:\\P\\QXUn007.uqx.bak", false}, {"C:\\P\\QXUnabc.uqx", false}};
    for (const auto& row : logs)
        EXPECT_EQ(LogNumber(row.log) != nullptr, row.numbered) << row.log;

    char out[PATH_SIZE];
    ASSERT_TRUE(OlderCopyName(out, "C:\\P\\README.txt", "C:\\P\\QXUn007.uqx"));
    EXPECT_STREQ(out, "C:\\P\\README.txt.~q007");
    ASSERT_TRUE(StagedFilePath(out, "C:\\P\\bin\\", "C:\\P\\QXUn007.uqx"));
    EXPECT_STREQ(out, "C:\\P\\bin\\~q007\\new");
    EXPECT_FALSE(OlderCopyName(out, "C:\\P\\README.txt", "C:\\P\\other.log")) << "no number, no name";
    const std::string longest(PATH_SIZE - 1 - 6, 'a');
    EXPECT_TRUE(OlderCopyName(out, longest.c_str(), "QXUn007.uqx"));
    EXPECT_FALSE(OlderCopyName(out, (longest + "a").c_str(), "QXUn007.uqx"));
    EXPECT_STREQ(out, "") << "a name that does not fit leaves nothing";
}
