// Cuts setup files into the inputs of each fuzz target: the whole file, the
// payload in the decoder target's form, the script block and the data block;
// and writes an install log with a record of each kind.
//   make_seeds OUTPUT_FOLDER SETUP...
#include "engine/log_format.h"
#include "package/byte_cursor.h"
#include "qpack/package_contents.h"
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdio.h>

namespace {

using Bytes = std::vector<uint8_t>;

void Write(const std::filesystem::path& path, const uint8_t* bytes, size_t size)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write((const char*)bytes, (std::streamsize)size);
}

// The decoder target's input: N, the capacity in 4-byte units, M or the
// claim's shortfall, the method, LZMA's settings, then the stream after the
// header.
Bytes DecoderInput(const Bytes& setup, const PackageContents& c)
{
    const uint32_t unpacked = c.trailer.scriptSize + c.trailer.dataSize;
    const uint32_t units = (unpacked + 3) / 4 > 0xFFFF ? 0xFFFF : (unpacked + 3) / 4;
    const bool lzma = c.header.version == PACK_VERSION_LZMA;
    const uint8_t shortfall = (uint8_t)(units * 4 - unpacked);
    const uint32_t dictionary = LoadU32(c.header.lzmaProperties + 1);
    Bytes in = {(uint8_t)c.header.rawLength, (uint8_t)(c.header.rawLength >> 8), (uint8_t)units,
                (uint8_t)(units >> 8), lzma ? shortfall : (uint8_t)c.header.maxMatch, (uint8_t)lzma,
                c.header.lzmaProperties[0], (uint8_t)(dictionary > 1 ? 32 - __builtin_clz(dictionary - 1) : 0)};
    const uint8_t* stream = setup.data() + c.trailer.payloadOffset + PACK_HEADER_SIZE;
    in.insert(in.end(), stream, stream + c.trailer.packedSize - PACK_HEADER_SIZE);
    return in;
}

Bytes InstallLogSeed()
{
    LogHeader h = {};
    h.product = "Demo 1.0";
    h.question = "Remove?";
    h.success = "Removed.";
    h.partial = "Partly removed.";
    h.restartMode = 1;
    h.sessionQuestion = "Restart?";
    h.first = UninstallCommand{1, "C:\\Demo\\u.exe", "/quiet", 0x02, "Cannot run."};
    Bytes log(LOG_HEADER_FIXED + LOG_HEADER_MAX);
    log.resize(BuildLogHeader(log.data(), log.size(), h));
    const LogRecord records[] = {{LOG_FILE, 1, "C:\\Demo\\QXUn000.uqx", 0, nullptr},
                                 {LOG_FILE, 0, "C:\\Demo\\bin\\demo.exe", 0, nullptr},
                                 {LOG_REGISTRY, 1, "Software\\Demo\\", 1, "?"},
                                 {LOG_REGISTRY, 0, "Software\\Demo\\", 1, "Path"}};
    for (const LogRecord& r : records) {
        uint8_t bytes[LOG_RECORD_MAX];
        log.insert(log.end(), bytes, bytes + BuildLogRecord(bytes, r));
    }
    log[1] = 4; // the count, as a closed log has it
    return log;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: make_seeds OUTPUT_FOLDER SETUP...\n");
        return 2;
    }
    const std::filesystem::path out = argv[1];
    for (int i = 2; i < argc; i++) {
        std::ifstream in(argv[i], std::ios::binary);
        const Bytes setup((std::istreambuf_iterator<char>(in)), {});
        PackageContents c;
        std::string error;
        if (!ReadPackageContents(setup, c, error)) {
            fprintf(stderr, "%s: %s\n", argv[i], error.c_str());
            return 1;
        }
        const std::string name = std::filesystem::path(argv[i]).stem().string();
        const Bytes decoder = DecoderInput(setup, c);
        Write(out / "load" / name, setup.data(), setup.size());
        Write(out / "describe" / name, setup.data(), setup.size());
        Write(out / "unpack" / name, decoder.data(), decoder.size());
        Write(out / "script" / name, c.script.data(), c.script.size() - 1);
        Write(out / "data" / name, c.data.data(), c.data.size() - 1);
    }
    const Bytes log = InstallLogSeed();
    Write(out / "log" / "closed", log.data(), log.size());
    return 0;
}
