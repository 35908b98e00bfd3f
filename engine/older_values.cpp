#include "older_values.h"
#include "log_undo.h"
#include <string.h>

namespace {

// The old data, then the key path and the value name, in one block.
struct OlderValue {
    OlderValue* previous;
    uint16_t root;
    int existed;
    DWORD type;
    DWORD size;
    char* key;
    char* name;
    BYTE data[1];
};

OlderValue* LastValue;

} // namespace

int KeepOlderValue(HKEY key, uint16_t root, const char* keyPath, const char* name)
{
    DWORD size = 0;
    const LONG found = RegQueryValueExA(key, name, NULL, NULL, NULL, &size);
    const size_t keyLength = strlen(keyPath) + 1, nameLength = strlen(name) + 1;
    OlderValue* value = found == ERROR_SUCCESS || found == ERROR_FILE_NOT_FOUND
                            ? (OlderValue*)HeapAlloc(GetProcessHeap(), 0, sizeof(OlderValue) + size + keyLength + nameLength)
                            : nullptr;
    if (!value)
        return 0;
    value->existed = found == ERROR_SUCCESS;
    if (value->existed && RegQueryValueExA(key, name, NULL, &value->type, value->data, &size) != ERROR_SUCCESS) {
        HeapFree(GetProcessHeap(), 0, value);
        return 0;
    }
    value->root = root;
    value->size = size;
    value->key = (char*)value->data + size;
    value->name = value->key + keyLength;
    memcpy(value->key, keyPath, keyLength);
    memcpy(value->name, name, nameLength);
    value->previous = LastValue;
    LastValue = value;
    return 1;
}

// The last write is undone first, so a value written twice ends as it was
// before the first write; a value in a key that is gone stays gone.
void ReleaseOlderValues(int putBack)
{
    while (OlderValue* value = LastValue) {
        HKEY key;
        if (putBack && RegOpenKeyExA(RootKeyOf(value->root), value->key, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            if (value->existed)
                RegSetValueExA(key, value->name, 0, value->type, value->data, value->size);
            else
                RegDeleteValueA(key, value->name);
            RegCloseKey(key);
        }
        LastValue = value->previous;
        HeapFree(GetProcessHeap(), 0, value);
    }
}
