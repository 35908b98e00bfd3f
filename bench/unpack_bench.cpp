// Throughput of the payload decoders, of both methods, and of CRC-32 next to
// zlib's. Given a file (such as the corpus of bench/make-corpus.sh), on that
// file packed at the best level, as the package builder packs; without one, on 64 MB of output made from a fixed
// mix of text-like records, binary tables and runs of zeros, so that every
// machine measures the same bytes.
#include "bench/read_file.h"
#include "package/crc32.h"
#include "package/package_writer.h"
#include "package/unpack.h"
#include "sample_data.h"
#include <chrono>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#ifdef QI_WITH_ZLIB
#include <zlib.h>
#endif

namespace {

// Best of ten runs of work, each after prepare, which is not timed. Ten,
// because the machines that run this are shared and a run is short.
template <typename P, typename F> double BestSeconds(P prepare, F work)
{
    double best = 1e9;
    for (int run = 0; run < 10; run++) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        work();
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        best = s < best ? s : best;
    }
    return best;
}

// Packs the data by the method at its best level and reports the decoder's
// speed on it; false when the round trip fails.
bool MeasureMethod(const Bytes& data, const PackMethod& method, const char* name)
{
    Bytes payload;
    if (!PackPayload(data, method, payload)) {
        fprintf(stderr, "the package writer refused the data\n");
        return false;
    }
    const size_t size = data.size();
    std::vector<uint8_t> area(size);
    uint32_t produced = 0;
    // The decoders need a zero-filled area, as the loader's fresh mapping is.
    const double unpack = BestSeconds([&] { memset(area.data(), 0, area.size()); }, [&] {
        produced = UnpackPayload(payload.data(), area.data(), (uint32_t)payload.size(), (uint32_t)area.size());
    });
    if (produced != size || memcmp(area.data(), data.data(), size) != 0) {
        fprintf(stderr, "%s: round trip failed\n", name);
        return false;
    }
    printf("%s: %.1f MB packed (ratio %.2f); UnpackPayload (CRC check included): %.0f MB/s of output\n", name,
           payload.size() / 1e6, (double)size / payload.size(), size / 1e6 / unpack);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2) {
        fprintf(stderr, "usage: %s [FILE]\n", argv[0]);
        return 2;
    }
    Bytes data;
    if (argc == 2 && (!ReadFile(argv[1], data) || data.empty() || data.size() > 0x7FFFFFF0u)) {
        fprintf(stderr, "%s: cannot read, empty or too large\n", argv[1]);
        return 1;
    }
    if (argc == 1)
        data = SampleInstallData(64u << 20, true);
    const size_t size = data.size();
    printf("payload: %s, %.1f MB of output\n", argc == 2 ? argv[1] : "synthetic", size / 1e6);
    // A file is packed as the package builder packs it: with the window and
    // match limit the best level chooses for its bytes.
    const StreamParameters parameters = argc == 2 ? ChooseStreamParameters(data.data(), size, COMPRESS_BEST)
                                                  : StreamParameters{65535, 255};
    if (!MeasureMethod(data, PackMethod{PACK_VERSION, parameters, COMPRESS_BEST}, "lz77") ||
        !MeasureMethod(data, PackMethod{PACK_VERSION_LZMA}, "lzma"))
        return 1;
    volatile uint32_t sink = 0;
    const double crc = BestSeconds([] {}, [&] { sink = Crc32(data.data(), data.size()); });
    printf("CRC-32: %.0f MB/s\n", size / 1e6 / crc);
#ifdef QI_WITH_ZLIB
    const double zlib = BestSeconds([] {}, [&] { sink = (uint32_t)crc32(0, data.data(), (uInt)data.size()); });
    printf("zlib's CRC-32: %.0f MB/s\n", size / 1e6 / zlib);
#endif
    return 0;
}
