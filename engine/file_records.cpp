#include "file_records.h"
#include "base/shared.h"
#include "package/data_records.h"
#include "package/load_package.h"
#include "package/shared.h"
#include <string.h>


static ByteCursor FileCursor;

int OpenFileSection()
{
    FileCursor = CursorOver(Package.data, Package.dataSize);
    return ReadSectionCount(FileCursor);
}

uint32_t FileSectionEnd()
{
    return (uint32_t)(FileCursor.pos - Package.data);
}

static FILETIME Filetime(uint64_t t)
{
    FILETIME f;
    f.dwLowDateTime = (DWORD)t;
    f.dwHighDateTime = (DWORD)(t >> 32);
    return f;
}

// A file beside the setup program counts with its size of now; one that is
// missing counts 0 and fails when it is copied.
static void MeasureSource(InstallItem& item)
{
    HANDLE source = CreateFileA(item.sourcePath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    item.size = 0;
    if (source == INVALID_HANDLE_VALUE)
        return;
    item.size = GetFileSize(source, NULL);
    GetFileTime(source, &item.created, NULL, NULL);
    CloseHandle(source);
}

int ReadFileRecord(InstallItem& item)
{
    memset(&item, 0, sizeof item);
    FileRecord r;
    // The reader refuses a name that is no file's (empty, a folder's) or
    // would leave its folder.
    if (!ReadFileRecordBytes(FileCursor, r) || !ResolveFolderPath(r.root, item.targetPath, r.relativeName))
        return 0;
    // Files of the product's own folder take their empty folders with them
    // when they go; in the system's folders only a file at the top does.
    if (r.root == FOLDER_DESTINATION || !LastBackslash(NextChar(r.relativeName)))
        item.flags |= INSTALL_REMOVES_FOLDER;
    if (r.kind & FILE_README)
        item.flags |= INSTALL_IS_README;
    if (IsReference(r)) {
        if (!JoinPath(item.sourcePath, SetupDir, r.sourceName))
            return 0;
        MeasureSource(item);
        return 1;
    }
    item.body = r.body;
    item.created = Filetime(r.created);
    item.modified = Filetime(r.modified);
    item.attributes = r.attributes;
    item.progressSize = r.size;
    item.size = r.size;
    return 1;
}
