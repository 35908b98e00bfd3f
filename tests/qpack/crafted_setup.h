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

inline Bytes SetupWithFiles(const std::vector<FileEntry>& files, uint16_t codePage = 1252,
                            const Bytes& stub = Bytes(256, 0x90))
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
    Bytes setup = stub;
    AppendPackage(setup, parts);
    return setup;
}

// A setup program signed as a signature tool signs one: a certificate table
// of the given size behind the package, which the PE32 header of the stub
// names as its fifth data directory.
inline Bytes SignedSetupWithFiles(const std::vector<FileEntry>& files, uint32_t certificates)
{
    Bytes stub(512, 0);
    stub[0] = 'M';
    stub[1] = 'Z';
    StoreU32(&stub[60], 128);
    StoreU32(&stub[128], 0x4550);
    StoreU16(&stub[128 + 24], 0x10B);
    StoreU32(&stub[128 + 24 + 92], 16);
    Bytes setup = SetupWithFiles(files, 1252, stub);
    StoreU32(&setup[128 + 24 + 128], (uint32_t)setup.size());
    StoreU32(&setup[128 + 24 + 132], certificates);
    setup.resize(setup.size() + certificates, 0x30);
    return setup;
}
