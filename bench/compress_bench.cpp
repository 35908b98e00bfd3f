// Size and speed of the payload encoder's levels on a corpus file, beside
// zlib at level 9 and LZ4 HC at level 12 as yardsticks, and the decoding
// speed of what our levels produce. Make the corpus with bench/make-corpus.sh.
#include "bench/read_file.h"
#include "package/package_writer.h"
#include "package/unpack.h"
#include <chrono>
#include <lz4hc.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>
#include <zlib.h>

namespace {

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Row {
    const char* name;
    size_t packed;
    double compressSeconds;
    double decodeSeconds; // 0 when not measured
};

void PrintRow(const Row& row, size_t size)
{
    const double mb = size / 1e6;
    printf("%-28s %12zu %7.3f %9.2f", row.name, row.packed, (double)size / row.packed, mb / row.compressSeconds);
    if (row.decodeSeconds > 0)
        printf(" %9.0f", mb / row.decodeSeconds);
    printf("\n");
}

// Best of three decodings into a zero-filled area, as the loader's fresh
// mapping is; clearing the area is not timed. Negative when the output differs.
double DecodeSeconds(const Bytes& payload, const Bytes& data)
{
    std::vector<uint8_t> area(data.size());
    double best = 1e9;
    for (int run = 0; run < 3; run++) {
        memset(area.data(), 0, area.size());
        const auto start = std::chrono::steady_clock::now();
        const uint32_t produced =
            UnpackPayload(payload.data(), area.data(), (uint32_t)payload.size(), (uint32_t)area.size());
        const double s = Seconds(start);
        if (produced != data.size() || memcmp(area.data(), data.data(), data.size()) != 0)
            return -1;
        best = s < best ? s : best;
    }
    return best;
}

// Percent done on the terminal, cleared at the end; context holds the last one shown.
void ReportProgress(void* context, size_t done, size_t total)
{
    size_t& shown = *(size_t*)context;
    const size_t percent = done * 100 / total;
    if (percent != shown)
        fprintf(stderr, "\r%3zu%%", percent);
    if (done == total)
        fprintf(stderr, "\r    \r");
    shown = percent;
}

bool RunOurs(const char* name, const Bytes& data, CompressionLevel level, Row& row)
{
    size_t shown = 0;
    const EncodeProgress progress = {isatty(2) ? ReportProgress : nullptr, &shown};
    const auto start = std::chrono::steady_clock::now();
    const StreamParameters parameters = ChooseStreamParameters(data.data(), data.size(), level);
    Bytes payload;
    const bool packed = PackPayload(data, PackMethod{PACK_VERSION, parameters, level}, payload, &progress);
    const double seconds = Seconds(start);
    const double decode = packed ? DecodeSeconds(payload, data) : -1;
    if (decode < 0) {
        fprintf(stderr, "%s: round trip failed\n", name);
        return false;
    }
    static char names[2][64];
    snprintf(names[level], sizeof names[level], "%s (N = %u)", name, parameters.rawLength);
    row = Row{names[level], payload.size(), seconds, decode};
    return true;
}

Row RunZlib(const Bytes& data)
{
    uLongf packed = compressBound(data.size());
    Bytes out(packed);
    const auto start = std::chrono::steady_clock::now();
    const int status = compress2(out.data(), &packed, data.data(), data.size(), 9);
    const double seconds = Seconds(start);
    return Row{"zlib -9", status == Z_OK ? (size_t)packed : 0, seconds, 0};
}

Row RunLz4(const Bytes& data)
{
    Bytes out(LZ4_compressBound((int)data.size()));
    const auto start = std::chrono::steady_clock::now();
    const int packed = LZ4_compress_HC((const char*)data.data(), (char*)out.data(), (int)data.size(),
                                       (int)out.size(), LZ4HC_CLEVEL_MAX);
    const double seconds = Seconds(start);
    return Row{"lz4 HC -12", (size_t)(packed > 0 ? packed : 0), seconds, 0};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s CORPUS\n", argv[0]);
        return 2;
    }
    Bytes data;
    if (!ReadFile(argv[1], data) || data.empty() || data.size() > 0x7FFFFFF0u) {
        fprintf(stderr, "%s: cannot read, empty or too large\n", argv[1]);
        return 1;
    }
    printf("corpus: %s, %zu bytes (%.1f MB)\n\n", argv[1], data.size(), data.size() / 1e6);
    printf("%-28s %12s %7s %9s %9s\n", "", "bytes", "ratio", "pack MB/s", "unpack MB/s");
    Row fast, best;
    if (!RunOurs("ours, fast", data, COMPRESS_FAST, fast) || !RunOurs("ours, best", data, COMPRESS_BEST, best))
        return 1;
    PrintRow(fast, data.size());
    PrintRow(best, data.size());
    const Row zlib = RunZlib(data), lz4 = RunLz4(data);
    if (zlib.packed == 0 || lz4.packed == 0) {
        fprintf(stderr, "zlib or lz4 failed\n");
        return 1;
    }
    PrintRow(zlib, data.size());
    PrintRow(lz4, data.size());
    return 0;
}
