// Setup programs made for a test, with a package that carries given files.
#pragma once
#include "driver/typical_package.h"
#include "package/package_writer.h"

inline FileEntry Carried(const std::string& name, const std::string& body)
{
    FileEntry f;
    f.relativeName = name;
    f.body.assign(body.begin(), body.end());
    return f;
}

inline Bytes SetupWithFiles(const std::vector<FileEntry>& files, uint16_t codePage = 1252)
{
    PackageParts parts;
    parts.codePage = codePage;
    parts.script = TypicalScript();
    PutU16(parts.data, (uint16_t)files.size());
    for (const FileEntry& f : files)
        PutFileRecord(parts.data, f);
    parts.fileSectionLength = (uint32_t)parts.data.size();
    PutU16(parts.data, 0);
    PutU16(parts.data, 0);
    Bytes setup(256, 0x90);
    AppendPackage(setup, parts);
    return setup;
}
