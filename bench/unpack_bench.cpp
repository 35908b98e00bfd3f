// Throughput of the payload decoder and of CRC-32. Given a file (such as the
// corpus of bench/make-corpus.sh), on that file packed at the best level, as
// the package builder packs; without one, on 64 MB of output made from a fixed
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
    // A file is packed as the package builder packs it: with the window and
    // match limit the best level chooses for its bytes.
    const StreamParameters parameters = argc == 2 ? ChooseStreamParameters(data.data(), size, COMPRESS_BEST)
                                                  : StreamParameters{65535, 255};
    Bytes payload;
    if (!PackPayload(data, PackMethod{PACK_VERSION, parameters, COMPRESS_BEST}, payload)) {
        fprintf(stderr, "the package writer refused the data\n");
        return 1;
    }
    std::vector<uint8_t> area(size);
    uint32_t produced = 0;
    // The decoder needs a zero-filled area, as the loader's fresh mapping is.
    const double unpack = BestSeconds([&] { memset(area.data(), 0, area.size()); }, [&] {
        produced = UnpackPayload(payload.data(), area.data(), (uint32_t)payload.size(), (uint32_t)area.size());
    });
    if (produced != size || memcmp(area.data(), data.data(), size) != 0) {
        fprintf(stderr, "round trip failed\n");
        return 1;
    }
    volatile uint32_t sink = 0;
    const double crc = BestSeconds([] {}, [&] { sink = Crc32(data.data(), data.size()); });
    const double mb = size / 1e6;
    printf("payload: %s, %.1f MB of output, %.1f MB packed (ratio %.2f, N = %u)\n",
           argc == 2 ? argv[1] : "synthetic", mb, payload.size() / 1e6, (double)size / payload.size(),
           ParsePackHeader(payload.data()).rawLength);
    printf("UnpackPayload (CRC check included): %.0f MB/s of output\n", mb / unpack);
    printf("CRC-32: %.0f MB/s\n", mb / crc);
    return 0;
}
