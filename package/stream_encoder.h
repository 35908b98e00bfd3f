// The encoder of the payload's compressed stream. The format fixes only the
// decoder; the encoder chooses the window and raw-prefix length N, the match
// limit M and the tokens.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <vector>

enum CompressionLevel {
    COMPRESS_FAST,
    COMPRESS_BEST,
};

// Reports progress of a long encoding: done of total input bytes.
struct EncodeProgress {
    void (*report)(void* context, size_t done, size_t total);
    void* context;
};

struct StreamParameters {
    uint32_t rawLength; // N, at most 65535 (the reach of a match offset)
    uint32_t maxMatch;  // M, at most 255 (the reach of a match length)
};

// The N and M that suit these bytes at this level.
StreamParameters ChooseStreamParameters(const uint8_t* data, size_t size, CompressionLevel level);

// Threads of the best level from now on, 1 unless set; the stream is the
// same for every count.
void SetEncoderThreads(unsigned count);

// The compressed stream, without header, for the given N and M.
std::vector<uint8_t> EncodeStream(const uint8_t* data, size_t size, StreamParameters parameters,
                                  CompressionLevel level, const EncodeProgress* progress = nullptr);
