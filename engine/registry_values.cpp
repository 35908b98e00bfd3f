#include "registry_values.h"
#include "base/paths.h"
#include "install_file.h"
#include "install_log.h"
#include "log_check.h"
#include "log_undo.h"
#include "older_values.h"
#include "package/data_records.h"

// The key chain from the top; the first key made here that an install may
// own is logged, the ones below it go with it (a shared key such as "App
// Paths" that was missing stays). A key the log cannot name goes again at once.
static int MakeKeyChain(HKEY base, uint8_t root, const char* keyPath)
{
    char prefix[PATH_SIZE];
    int logged = 0;
    StartPathPrefixes();
    while (NextPathPrefix(keyPath, prefix)) {
        HKEY key;
        DWORD disposition = 0;
        if (RegCreateKeyExA(base, prefix, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_WRITE, NULL, &key, &disposition) !=
            ERROR_SUCCESS)
            return 0;
        RegCloseKey(key);
        if (disposition == REG_CREATED_NEW_KEY && !logged && KeyIsOwnable(root, prefix)) {
            if (!AppendToInstallLog(LogRecord{LOG_REGISTRY, 1, prefix, root, "?"})) {
                RegDeleteKeyA(base, prefix);
                return 0;
            }
            logged = 1;
        }
    }
    return 1;
}

int WriteRegistryValue(uint8_t root, char* keyPath, const char* valueName, uint8_t kind, const void* data,
                       uint32_t length)
{
    HKEY base = RootKeyOf(root);
    if (!base || (!EndsInBackslash(keyPath) && !AppendText(keyPath, PATH_SIZE, "\\")))
        return 0;
    HKEY key;
    const REGSAM access = KEY_WRITE | KEY_QUERY_VALUE;
    if (RegOpenKeyExA(base, keyPath, 0, access, &key) != ERROR_SUCCESS &&
        (!MakeKeyChain(base, root, keyPath) || RegOpenKeyExA(base, keyPath, 0, access, &key) != ERROR_SUCCESS))
        return 0;
    int written = 1;
    if (valueName[0]) {
        // Other kinds than a number and a string keep their bytes and get no
        // type. What the value held before goes back on a rollback, so one
        // whose old data cannot be kept is not written.
        const DWORD type = kind == VALUE_NUMBER ? REG_DWORD : kind == VALUE_STRING ? REG_SZ : REG_NONE;
        written = KeepOlderValue(key, root, keyPath, valueName) &&
                  (RegSetValueExA(key, valueName, 0, type, (const BYTE*)data, length) == ERROR_SUCCESS ||
                   RegSetValueExA(key, valueName, 0, type, (const BYTE*)data, length) == ERROR_SUCCESS);
    }
    RegCloseKey(key);
    return written;
}
