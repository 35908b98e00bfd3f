#include "shortcuts.h"
#include "engine/shared.h"
#include "install_folders.h"
#include "package/data_records.h"
#include <shobjidl.h>
#include <string.h>

namespace {

const char* const ShellFolderNames[4] = {"Desktop", "Startup", "SendTo", "Start Menu"};
char ShellFolders[4][PATH_SIZE];
int ComReady;

} // namespace

int GetSpecialFolder(int code, char* out)
{
    char* cached = ShellFolders[code - 1];
    if (!cached[0])
        ReadShellFolder(ShellFolderNames[code - 1], cached);
    memcpy(out, cached, PATH_SIZE);
    return cached[0] != 0;
}

int ReadShortcutRecord(ByteCursor& c, LinkItem& item)
{
    ShortcutRecord r;
    if (!ReadShortcutRecordBytes(c, r) || !ResolveFolderPath(r.targetFolder, item.target, r.target))
        return 0;
    item.icon[0] = 0;
    if (HasIcon(r) && !ResolveFolderPath(r.iconFolder, item.icon, r.icon))
        return 0;
    item.arguments = r.arguments;
    item.iconIndex = r.iconIndex;
    item.inGroup = r.linkFolder == LINK_GROUP;
    char folder[PATH_SIZE] = "";
    const int known = item.inGroup ? Choices.group && JoinPath(folder, Choices.group, "") : GetSpecialFolder(r.linkFolder, folder);
    item.link[0] = 0;
    return !known || JoinPath(item.link, folder, r.linkName);
}

HRESULT CreateShortcut(const char* target, const char* link, const char* description, const char* arguments,
                       const char* icon, int iconIndex)
{
    if (!ComReady) {
        CoInitialize(NULL);
        ComReady = 1;
    }
    IShellLinkA* shellLink;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&shellLink);
    if (FAILED(result))
        return result;
    shellLink->SetPath(target);
    shellLink->SetArguments(arguments);
    shellLink->SetDescription(description);
    shellLink->SetIconLocation(icon[0] ? icon : target, iconIndex);
    IPersistFile* file;
    result = shellLink->QueryInterface(IID_IPersistFile, (void**)&file);
    if (SUCCEEDED(result)) {
        wchar_t wide[PATH_SIZE];
        MultiByteToWideChar(CP_ACP, 0, link, -1, wide, PATH_SIZE);
        result = file->Save(wide, TRUE);
        file->Release();
    }
    shellLink->Release();
    return result;
}
