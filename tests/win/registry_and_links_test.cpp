// Registry values with their key chains, the uninstaller's registration and
// shell links, each against the install log they write to.
#include "base/folders.h"
#include "base/shared.h"
#include "driver/file_bytes.h"
#include "driver/scratch_folder.h"
#include "engine/install_file.h"
#include "engine/install_log.h"
#include "engine/log_undo.h"
#include "engine/registration.h"
#include "engine/registry_values.h"
#include "engine/shortcuts.h"
#include "package/data_records.h"
#include "package/load_package.h"
#include "package/package_writer.h"
#include "package/settings_readers.h"
#include "package/shared.h"
#include "package/string_table.h"
#include <gtest/gtest.h>
#include <shobjidl.h>

namespace {

const char Destination[] = "C:\\E\\";
const char TestKey[] = "Software\\QI Registry Test";
const char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// What the tests leave in the registry and the Windows folder, also after a crash.
void RemoveLeftovers()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, TestKey);
    for (int n = 1; n < 10; n++)
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(UninstallKey) + "QI Product 2.0 QX00" + std::to_string(n)).c_str());
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    DeleteFileA((std::string(windows) + "\\Dezoda32.exe").c_str());
}

struct Registering : ::testing::Test {
    Bytes script, settings, data;

    void SetUp() override
    {
        ScratchFolder::Remove(Destination);
        ASSERT_TRUE(CreateDirectoryA(Destination, NULL));
        RemoveLeftovers();
        std::vector<std::string> texts(63);
        texts[3] = "QI Product 2.0";
        PutStringTable(script, texts);
        ParseSetupStrings(script.data(), script.size());
        FileEntry uninstaller;
        uninstaller.relativeName = "\\u.exe";
        PutU16(data, 1);
        PutFileRecord(data, uninstaller);
        Package.data = data.data();
        Package.dataSize = (uint32_t)data.size();
        PutCommandRecord(settings, COMMAND_UNINSTALL_1, CommandData{});
        PutCommandRecord(settings, COMMAND_UNINSTALL_2, CommandData{});
        SettingsCursor = CursorOver(settings.data(), settings.size());
        strcpy(DestinationPath, Destination);
        FillWindowsDir();
        OpenFileSection();
        ASSERT_TRUE(OpenInstallLog(Destination));
    }
    void TearDown() override
    {
        FinishInstallLog();
        ScratchFolder::Remove(Destination);
        RemoveLeftovers();
    }

    // The records after the uninstaller's, as "kind flag root name text",
    // once the log is closed.
    static std::vector<std::string> Logged()
    {
        FinishInstallLog();
        char path[PATH_SIZE];
        lstrcpynA(path, InstallLogPath(), PATH_SIZE);
        Bytes log = ReadFileBytes(path);
        uint32_t count;
        ByteCursor c;
        std::vector<std::string> records;
        if (!OpenLogBytes(log.data(), log.size(), &count, &c))
            return records;
        LogRecord r;
        ReadLogRecord(c, r);
        while (ReadLogRecord(c, r))
            records.push_back(std::to_string(r.kind) + " " + std::to_string(r.flag) + " " + std::to_string(r.root) +
                              " " + r.valueName + " " + r.text);
        return records;
    }

    static std::string StringValue(const char* key, const char* name)
    {
        char text[1024] = "";
        DWORD size = sizeof text;
        RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, NULL, text, &size);
        return text;
    }
};

} // namespace

TEST_F(Registering, NewKeyChainIsLoggedAtItsTopWithAQuestionMark)
{
    char key[PATH_SIZE];
    strcpy(key, (std::string(TestKey) + "\\A\\B").c_str());
    const char text[] = "C:\\E\\x.exe";
    EXPECT_TRUE(WriteRegistryValue(ROOT_CURRENT_USER, key, "Path", VALUE_STRING, text, sizeof text));
    EXPECT_EQ(std::string(key), std::string(TestKey) + "\\A\\B\\") << "the form the worker logs";
    EXPECT_EQ(StringValue((std::string(TestKey) + "\\A\\B").c_str(), "Path"), text);
    const uint32_t number = 0x12345678;
    EXPECT_TRUE(WriteRegistryValue(ROOT_CURRENT_USER, key, "Count", VALUE_NUMBER, &number, 4));
    DWORD read = 0, size = sizeof read, type = 0;
    RegGetValueA(HKEY_CURRENT_USER, (std::string(TestKey) + "\\A\\B").c_str(), "Count", RRF_RT_ANY, &type, &read, &size);
    EXPECT_EQ(type, (DWORD)REG_DWORD);
    EXPECT_EQ(read, number);
    EXPECT_EQ(Logged(), std::vector<std::string>{"1 1 1 ? " + std::string(TestKey) + "\\"})
        << "only the top of the new chain, once";

    EXPECT_TRUE(DeleteLoggedRegistry((std::string(TestKey) + "\\").c_str(), "?", 1, ROOT_CURRENT_USER));
    HKEY gone;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, TestKey, 0, KEY_READ, &gone), ERROR_SUCCESS)
        << "the rollback takes the whole chain";

    strcpy(key, (std::string(TestKey) + "\\C").c_str());
    EXPECT_FALSE(WriteRegistryValue(ROOT_CURRENT_USER, key, "Path", VALUE_STRING, text, sizeof text))
        << "the log is closed and names no more keys";
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, TestKey, 0, KEY_READ, &gone), ERROR_SUCCESS)
        << "a key the log cannot name goes again";
}

TEST_F(Registering, EmptyNameMakesOnlyTheKeyAndAnInvalidRootFails)
{
    char key[PATH_SIZE];
    strcpy(key, TestKey);
    EXPECT_TRUE(WriteRegistryValue(ROOT_CURRENT_USER, key, "", VALUE_STRING, "", 1));
    HKEY made;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, TestKey, 0, KEY_READ, &made), ERROR_SUCCESS);
    DWORD values = 99;
    RegQueryInfoKeyA(made, NULL, NULL, NULL, NULL, NULL, NULL, &values, NULL, NULL, NULL, NULL);
    RegCloseKey(made);
    EXPECT_EQ(values, 0u);
    strcpy(key, TestKey);
    EXPECT_FALSE(WriteRegistryValue(7, key, "x", VALUE_STRING, "", 1));
}

TEST_F(Registering, UninstallEntriesAreNumberedAndStartTheUninstallerWithTheLog)
{
    const std::string base = std::string(UninstallKey) + "QI Product 2.0 QX00";
    for (const char* n : {"1", "2"}) {
        HKEY earlier;
        ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, (base + n).c_str(), &earlier), ERROR_SUCCESS);
        RegCloseKey(earlier);
    }
    ASSERT_TRUE(RegisterUninstaller());
    char text[1024] = "";
    DWORD size = sizeof text;
    RegGetValueA(HKEY_LOCAL_MACHINE, (base + "3").c_str(), "DisplayName", RRF_RT_REG_SZ, NULL, text, &size);
    EXPECT_STREQ(text, "QI Product 2.0 (3)");
    size = sizeof text;
    RegGetValueA(HKEY_LOCAL_MACHINE, (base + "3").c_str(), "UninstallString", RRF_RT_REG_SZ, NULL, text, &size);
    EXPECT_STREQ(text, "\"C:\\E\\QXUn000.uqx\" \"C:\\E\\QXUn001.uqx\"");

    // A shared remover in the Windows folder starts the uninstaller.
    const std::string remover = std::string(WindowsDir) + "Dezoda32.exe";
    WriteFileBytes(remover, Bytes{'M', 'Z'});
    ASSERT_TRUE(RegisterUninstaller());
    size = sizeof text;
    RegGetValueA(HKEY_LOCAL_MACHINE, (base + "4").c_str(), "UninstallString", RRF_RT_REG_SZ, NULL, text, &size);
    EXPECT_EQ(std::string(text), "\"" + remover + " \" /U \"C:\\E\\QXUn000.uqx\" \"C:\\E\\QXUn001.uqx\"");
    EXPECT_EQ(Logged(), (std::vector<std::string>{"1 1 2 ? " + base + "3", "1 1 2 ? " + base + "4"}));
}

TEST_F(Registering, LinksKeepTheirArgumentsAndTakeTheTargetsIconWithoutOne)
{
    Bytes section;
    ShortcutEntry first;
    first.target = "\\bin\\tool.exe";
    first.arguments = "--level 100% \"two words\"";
    first.icon = "\\";
    first.linkFolder = LINK_DESKTOP;
    first.linkName = "QI Tool.lnk";
    PutShortcutRecord(section, first);
    ShortcutEntry damaged = first;
    damaged.linkFolder = 9;
    PutShortcutRecord(section, damaged);
    ByteCursor c = CursorOver(section.data(), section.size());
    LinkItem item;
    ASSERT_TRUE(ReadShortcutRecord(c, item));
    EXPECT_STREQ(item.target, "C:\\E\\bin\\tool.exe");
    EXPECT_STREQ(item.icon, "") << "a lone backslash is no icon";
    char desktop[PATH_SIZE];
    ASSERT_TRUE(GetSpecialFolder(LINK_DESKTOP, desktop));
    EXPECT_EQ(std::string(item.link), std::string(desktop) + "QI Tool.lnk");
    EXPECT_FALSE(ReadShortcutRecord(c, item)) << "link folder 9 is damaged";

    const std::string link = std::string(Destination) + "tool.lnk";
    ASSERT_TRUE(SUCCEEDED(CreateShortcut("C:\\E\\bin\\tool.exe", link.c_str(), "QInstall", first.arguments.c_str(), "",
                                         3)));
    IShellLinkA* shellLink;
    ASSERT_TRUE(SUCCEEDED(
        CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&shellLink)));
    IPersistFile* file;
    shellLink->QueryInterface(IID_IPersistFile, (void**)&file);
    wchar_t wide[PATH_SIZE];
    MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, PATH_SIZE);
    ASSERT_TRUE(SUCCEEDED(file->Load(wide, STGM_READ)));
    char text[PATH_SIZE] = "";
    shellLink->GetArguments(text, PATH_SIZE);
    EXPECT_STREQ(text, first.arguments.c_str()) << "a percent sign survives";
    int index = -1;
    shellLink->GetIconLocation(text, PATH_SIZE, &index);
    EXPECT_STREQ(text, "C:\\E\\bin\\tool.exe");
    EXPECT_EQ(index, 3);
    shellLink->GetDescription(text, PATH_SIZE);
    EXPECT_STREQ(text, "QInstall");
    file->Release();
    shellLink->Release();
}
