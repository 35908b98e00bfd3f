// Both levels look for matches on hash chains over the window. The best level
// finds the longest match at every position and then picks, block by block,
// the tokens that cost the fewest bits; the fast level takes matches greedily
// with a look one position ahead and short chains. Memory stays within the
// window's tables and one block, whatever the input size. Every match is
// measured on the bytes themselves, so the tables only steer the search;
// positions in them are 32-bit, as the unpacked size in the header is.
#include "stream_encoder.h"
#include "byte_cursor.h"
#include <algorithm>
#include <exception>
#include <functional>
#include <string.h>
#include <thread>

using Bytes = std::vector<uint8_t>;

namespace {

enum {
    MIN_MATCH = 3,       // the shortest match cheaper than its literals
    LONGEST_MATCH = 255, // the reach of a match length
    LONGEST_WINDOW = 65535,
    HASH_BITS = 16,
    RING_SIZE = 1 << 16, // chain links of the last 64K positions cover any window
    LITERAL_BITS = 9,    // a byte and its flag bit
    MATCH_BITS = 25,     // offset, length and the flag bit
    BLOCK_SIZE = 1 << 18,
    BEST_DEPTH = 1024,
    FAST_DEPTH = 16,
    // A match this long is taken as it is at the best level: the positions it
    // covers are not searched, which keeps long repetitions fast.
    SUFFICIENT_LENGTH = 128,
    SWAP_PROBES = 16, // chains compared when the walk changes chain
};

const uint32_t NO_POSITION = UINT32_MAX;

void PutU16(Bytes& out, uint16_t v) { out.push_back((uint8_t)v); out.push_back((uint8_t)(v >> 8)); }

struct TokenWriter {
    Bytes& out;
    size_t flagAt;
    unsigned used; // tokens in the current group; 32 means a new group is due

    void Begin()
    {
        if (used < 32)
            return;
        flagAt = out.size();
        out.insert(out.end(), 4, 0);
        used = 0;
    }
    void Literal(uint8_t byte)
    {
        Begin();
        out.push_back(byte);
        used++;
    }
    void Match(uint16_t offset, uint8_t length)
    {
        Begin();
        out[flagAt + used / 8] |= (uint8_t)(1u << (used % 8));
        PutU16(out, offset);
        out.push_back(length);
        used++;
    }
};

TokenWriter TokensInto(Bytes& out) { return TokenWriter{out, 0, 32}; }

struct Match {
    size_t length;
    size_t distance; // 0 copies zeros
};

struct Search {
    const uint8_t* data;
    size_t size;
    size_t window; // N: the farthest distance
    unsigned depth;
    bool shortMatches; // also look for matches of exactly MIN_MATCH bytes
    std::vector<uint32_t> head;  // latest position of each 4-byte hash
    std::vector<uint32_t> link;  // previous position of the same hash, by position modulo the ring
    std::vector<uint32_t> head3; // latest position of each 3-byte hash
};

Search NewSearch(const uint8_t* data, size_t size, size_t window, unsigned depth, bool shortMatches)
{
    return Search{data, size, window, depth, shortMatches, std::vector<uint32_t>(1u << HASH_BITS, NO_POSITION),
                  std::vector<uint32_t>(RING_SIZE, NO_POSITION),
                  std::vector<uint32_t>(shortMatches ? 1u << HASH_BITS : 0, NO_POSITION)};
}

uint32_t Hash4(const uint8_t* p) { return LoadU32(p) * 2654435761u >> (32 - HASH_BITS); }
uint32_t Hash3(const uint8_t* p) { return (LoadU16(p) | (uint32_t)p[2] << 16) * 2654435761u >> (32 - HASH_BITS); }

void Insert(Search& s, size_t at)
{
    if (s.shortMatches && at + 3 <= s.size)
        s.head3[Hash3(s.data + at)] = (uint32_t)at;
    if (at + 4 > s.size)
        return;
    uint32_t& head = s.head[Hash4(s.data + at)];
    s.link[at % RING_SIZE] = head;
    head = (uint32_t)at;
}

void InsertRange(Search& s, size_t begin, size_t end)
{
    for (size_t at = begin; at < end; at++)
        Insert(s, at);
}

uint64_t Load64(const uint8_t* p)
{
    uint64_t v;
    memcpy(&v, p, 8);
    return v;
}

size_t CommonPrefix(const uint8_t* a, const uint8_t* b, size_t limit)
{
    size_t k = 0;
    while (k + 8 <= limit && Load64(a + k) == Load64(b + k))
        k += 8;
    while (k < limit && a[k] == b[k])
        k++;
    return k;
}

size_t ZeroRun(const uint8_t* p, size_t limit)
{
    size_t k = 0;
    while (k + 8 <= limit && Load64(p + k) == 0)
        k += 8;
    while (k < limit && p[k] == 0)
        k++;
    return k;
}

// The decoder reads the bytes it has not produced yet as zeros, so after its
// first `distance` bytes a match copies zeros, never its own output again.
size_t MatchLength(const uint8_t* at, size_t distance, size_t room)
{
    const size_t copied = distance < room ? distance : room;
    const size_t same = CommonPrefix(at, at - distance, copied);
    if (same < copied || copied == room)
        return same;
    return copied + ZeroRun(at + copied, room - copied);
}

// Takes the match at this distance when it is longer than the best so far,
// which is shorter than room, and returns its length; 0 when the bytes at the
// end of the best so far already differ, which settles most candidates.
size_t Consider(const uint8_t* at, size_t distance, size_t room, Match& best)
{
    const size_t b = best.length;
    if (b >= 3 && b < distance) {
        if (LoadU32(at + b - 3) != LoadU32(at - distance + b - 3))
            return 0;
    } else if (at[b] != (b < distance ? *(at - distance + b) : 0)) {
        return 0;
    }
    const size_t length = MatchLength(at, distance, room);
    if (length > best.length)
        best = Match{length, distance};
    return length;
}

// Distances below 4 are tried one by one: a short pattern followed by zeros
// hashes differently from the bytes it repeats.
void ConsiderShortDistances(const Search& s, const uint8_t* p, size_t room, Match& best)
{
    for (size_t d = 1; d < 4 && d <= s.window && best.length < room; d++)
        Consider(p, d, room, best);
}

// A match longer than `length` whose source lies wholly behind the position
// repeats each group of 4 bytes among the first `length`, so it is on the
// chain of every such group. entryOf(base + o) is the next entry on the chain
// of the group at offset o; the chain whose next entry lies farthest back
// skips the most candidates, and a few probes spread over the length find
// most of the skip. Returns the offset of that chain and sets `next` to its
// entry.
template <typename EntryOf>
size_t SparsestChain(size_t base, size_t length, EntryOf entryOf, uint32_t& next)
{
    const size_t stride = (length - 3 + SWAP_PROBES - 1) / SWAP_PROBES;
    size_t bestOffset = 0, bestStep = 0;
    for (size_t o = 0; o + 4 <= length; o += stride) {
        const uint32_t entry = entryOf(base + o);
        const size_t step = base + o - entry; // past any window for NO_POSITION
        if (step > bestStep) {
            bestStep = step;
            bestOffset = o;
            next = entry;
        }
    }
    return bestOffset;
}

// Walks candidates from `entry` on the chain of the 4 bytes at offset in
// order of distance; after a candidate as long as the best whose source lies
// wholly behind the position, it goes on along the sparsest chain inside that
// match.
void WalkChain(const Search& s, size_t at, size_t room, size_t offset, uint32_t entry, Match& best)
{
    const uint8_t* p = s.data + at;
    const auto linkOf = [&s](size_t q) { return s.link[q % RING_SIZE]; };
    for (unsigned n = 0; n < s.depth && best.length < room; n++) {
        const size_t distance = at + offset - entry; // past the window for NO_POSITION
        if (distance > s.window)
            break;
        const size_t length = distance >= 4 ? Consider(p, distance, room, best) : 0;
        if (length == best.length && length >= 4 && distance >= length)
            offset = SparsestChain(at - distance, length, linkOf, entry);
        else
            entry = linkOf(entry);
    }
}

void ConsiderShortMatch(const Search& s, size_t at, size_t room, Match& best)
{
    const size_t distance = at - s.head3[Hash3(s.data + at)];
    if (distance >= 1 && distance <= s.window)
        Consider(s.data + at, distance, room, best);
}

// The longest match at this position within room bytes, or one shorter than
// MIN_MATCH when there is none worth a token.
Match FindLongest(const Search& s, size_t at, size_t room)
{
    Match best{0, 0};
    if (room < MIN_MATCH)
        return best;
    const uint8_t* p = s.data + at;
    best.length = ZeroRun(p, room);
    ConsiderShortDistances(s, p, room, best);
    if (room >= 4)
        WalkChain(s, at, room, 0, s.head[Hash4(p)], best);
    if (s.shortMatches && best.length < MIN_MATCH)
        ConsiderShortMatch(s, at, room, best);
    return best;
}

// A match longer than `floor`, which holds at this position with its source
// wholly behind it and is followed by a nonzero byte: no run of zeros can
// extend a shorter source past that byte, so the walk may start on the
// sparsest chain inside `floor`.
Match FindLonger(const Search& s, size_t at, size_t room, const Match& floor)
{
    Match best = floor;
    uint32_t entry = NO_POSITION;
    const auto latestOf = [&s](size_t q) { return s.head[Hash4(s.data + q)]; };
    const size_t offset = SparsestChain(at, floor.length, latestOf, entry);
    WalkChain(s, at, room, offset, entry, best);
    return best;
}

// The longest match at this position, given the one found at the position
// before, which holds here for one byte less.
Match FindAfter(const Search& s, size_t at, size_t room, const Match& before)
{
    const size_t kept = before.length - 1;
    if (before.length > 4 && before.distance >= before.length && (kept == room || s.data[at + kept] != 0))
        return FindLonger(s, at, room, Match{kept, before.distance});
    return FindLongest(s, at, room);
}

size_t RoomAt(size_t at, size_t end, size_t limit) { return end - at < limit ? end - at : limit; }

void PutMatch(TokenWriter& tokens, const Match& m, size_t window)
{
    tokens.Match((uint16_t)(window - m.distance), (uint8_t)m.length);
}

// Greedy parse of [begin, end) that gives up a match for a longer one at the next position.
void EncodeLazy(Search& s, size_t begin, size_t end, size_t limit, TokenWriter& tokens)
{
    size_t at = begin;
    Match current = FindLongest(s, at, RoomAt(at, end, limit));
    while (at < end) {
        Insert(s, at);
        if (current.length < MIN_MATCH) {
            tokens.Literal(s.data[at++]);
            current = FindLongest(s, at, RoomAt(at, end, limit));
            continue;
        }
        const Match next = FindAfter(s, at + 1, RoomAt(at + 1, end, limit), current);
        if (next.length > current.length) {
            tokens.Literal(s.data[at++]);
            current = next;
            continue;
        }
        PutMatch(tokens, current, s.window);
        InsertRange(s, at + 1, at + current.length);
        at += current.length;
        current = FindLongest(s, at, RoomAt(at, end, limit));
    }
}

// Longest matches of a block, by position in the block.
struct BlockMatches {
    std::vector<uint8_t> length;
    std::vector<uint16_t> distance;
    std::vector<uint8_t> step; // chosen token length; 1 is a literal
};

void SetMatch(BlockMatches& m, size_t i, size_t length, size_t distance)
{
    m.length[i] = (uint8_t)length;
    m.distance[i] = (uint16_t)distance;
}

// Inside a sufficient match the same source still serves for the bytes it
// copies, and a run of zeros for those it fills with zeros.
void SetCoveredMatches(BlockMatches& m, size_t i, const Match& found)
{
    const size_t copied = found.distance < found.length ? found.distance : found.length;
    for (size_t k = 1; k < found.length; k++) {
        if (k < copied)
            SetMatch(m, i + k, copied - k, found.distance);
        else
            SetMatch(m, i + k, found.length - k, 0);
    }
}

void FindBlockMatches(Search& s, size_t begin, size_t end, size_t limit, BlockMatches& m)
{
    size_t at = begin;
    Match before{0, 0}; // found at the position before, if that was searched
    while (at < end) {
        const Match found = FindAfter(s, at, RoomAt(at, end, limit), before);
        SetMatch(m, at - begin, found.length, found.distance);
        if (found.length < SUFFICIENT_LENGTH) {
            Insert(s, at++);
            before = found;
            continue;
        }
        SetCoveredMatches(m, at - begin, found);
        InsertRange(s, at, at + found.length);
        at += found.length;
        before = Match{0, 0};
    }
}

// Cheapest cost from a position to the block's end, with the position that
// attains it, over any range of the 256 positions after the current one: a
// sparse table on a ring, filled backwards. A key is cost << 32 | ~position,
// so that the farthest position wins a tie.
struct CostTable {
    enum { LEVELS = 8, RING = 512 };
    uint64_t level[LEVELS][RING];
};

void PushCost(CostTable& t, size_t at, uint64_t cost)
{
    t.level[0][at % CostTable::RING] = cost << 32 | (uint32_t)~at;
    for (unsigned k = 1; k < CostTable::LEVELS; k++) {
        const uint64_t a = t.level[k - 1][at % CostTable::RING];
        const uint64_t b = t.level[k - 1][(at + ((size_t)1 << (k - 1))) % CostTable::RING];
        t.level[k][at % CostTable::RING] = a < b ? a : b;
    }
}

uint64_t KeyCost(uint64_t key) { return key >> 32; }
size_t KeyPosition(uint64_t key) { return (uint32_t)~(uint32_t)key; }

// Lowest key over [first, last], both pushed.
uint64_t LowestKey(const CostTable& t, size_t first, size_t last)
{
    const unsigned k = 31 - (unsigned)__builtin_clz((unsigned)(last - first + 1));
    const uint64_t a = t.level[k][first % CostTable::RING];
    const uint64_t b = t.level[k][(last + 1 - ((size_t)1 << k)) % CostTable::RING];
    return a < b ? a : b;
}

// Since every match costs the same, the longest match of a position stands
// for all its shorter prefixes, and the cheapest continuation among them is
// one range query.
void ChooseSteps(BlockMatches& m, size_t count, CostTable& t)
{
    PushCost(t, count, 0);
    for (size_t i = count; i-- > 0;) {
        uint64_t cost = KeyCost(t.level[0][(i + 1) % CostTable::RING]) + LITERAL_BITS;
        size_t step = 1;
        if (m.length[i] >= MIN_MATCH) {
            const uint64_t key = LowestKey(t, i + MIN_MATCH, i + m.length[i]);
            if (KeyCost(key) + MATCH_BITS < cost) {
                cost = KeyCost(key) + MATCH_BITS;
                step = KeyPosition(key) - i;
            }
        }
        m.step[i] = (uint8_t)step;
        PushCost(t, i, cost);
    }
}

void PutSteps(const uint8_t* data, size_t begin, const BlockMatches& m, size_t count, size_t window,
              TokenWriter& tokens)
{
    for (size_t i = 0; i < count; i += m.step[i]) {
        if (m.step[i] == 1)
            tokens.Literal(data[begin + i]);
        else
            PutMatch(tokens, Match{m.step[i], m.distance[i]}, window);
    }
}

void Report(const EncodeProgress* progress, size_t done, size_t total)
{
    if (progress && progress->report)
        progress->report(progress->context, done, total);
}

// What one thread of the best level needs for a block of its own: its search,
// whose history is only the window before the block, and the block's steps.
struct BlockWork {
    Search search;
    BlockMatches matches{Bytes(BLOCK_SIZE), std::vector<uint16_t>(BLOCK_SIZE), Bytes(BLOCK_SIZE)};
    std::vector<CostTable> table = std::vector<CostTable>(1);
    size_t begin = 0, count = 0;
};

// The steps of the block at begin. A search that has seen every byte before
// the block offers no match this one lacks, since no match reaches farther
// back than the window: the steps are the same as in one pass over the
// input, whichever thread finds them and in whatever order.
void FindBlockSteps(BlockWork& w, size_t begin, size_t limit)
{
    Search& s = w.search;
    std::fill(s.head.begin(), s.head.end(), NO_POSITION);
    std::fill(s.link.begin(), s.link.end(), NO_POSITION);
    std::fill(s.head3.begin(), s.head3.end(), NO_POSITION);
    InsertRange(s, begin - s.window, begin);
    w.begin = begin;
    w.count = RoomAt(begin, s.size, BLOCK_SIZE);
    FindBlockMatches(s, begin, begin + w.count, limit, w.matches);
    ChooseSteps(w.matches, w.count, w.table[0]);
}

// A thread's block, with what it threw kept for the caller: an exception
// leaving a thread would end the process.
void FindBlockStepsKeepingErrors(BlockWork& w, size_t begin, size_t limit, std::exception_ptr& error)
{
    try {
        FindBlockSteps(w, begin, limit);
    } catch (...) {
        error = std::current_exception();
    }
}

unsigned EncoderThreads = 1;

// Blocks are found a round at a time, one per thread, and written in order.
// Every thread started is joined before anything thrown goes on.
void EncodeOptimal(const Search& s, size_t limit, TokenWriter& tokens, const EncodeProgress* progress)
{
    std::vector<BlockWork> work(EncoderThreads, BlockWork{s});
    std::vector<std::exception_ptr> errors(work.size());
    for (size_t round = s.window; round < s.size; round += BLOCK_SIZE * work.size()) {
        std::vector<std::thread> threads;
        try {
            for (size_t t = 1; t < work.size() && round + t * BLOCK_SIZE < s.size; t++)
                threads.emplace_back(FindBlockStepsKeepingErrors, std::ref(work[t]), round + t * BLOCK_SIZE, limit,
                                     std::ref(errors[t]));
            FindBlockSteps(work[0], round, limit);
        } catch (...) {
            errors[0] = std::current_exception();
        }
        for (std::thread& thread : threads)
            thread.join();
        for (const std::exception_ptr& error : errors)
            if (error)
                std::rethrow_exception(error);
        for (size_t t = 0; t < work.size() && round + t * BLOCK_SIZE < s.size; t++) {
            PutSteps(s.data, work[t].begin, work[t].matches, work[t].count, s.window, tokens);
            Report(progress, work[t].begin + work[t].count, s.size);
        }
    }
}

void EncodeGreedy(Search& s, size_t limit, TokenWriter& tokens, const EncodeProgress* progress)
{
    for (size_t begin = s.window; begin < s.size; begin += BLOCK_SIZE) {
        const size_t end = begin + RoomAt(begin, s.size, BLOCK_SIZE);
        EncodeLazy(s, begin, end, limit, tokens);
        Report(progress, end, s.size);
    }
}

// Bytes of the fast level's tokens for [begin, end), with the window before
// begin as history.
size_t FastTokenBytes(const uint8_t* data, size_t size, size_t window, size_t begin, size_t end)
{
    Search s = NewSearch(data, size, window, FAST_DEPTH, false);
    InsertRange(s, begin - window, begin);
    Bytes out;
    TokenWriter tokens = TokensInto(out);
    EncodeLazy(s, begin, end, LONGEST_MATCH, tokens);
    return out.size();
}

// Steps of half a power of two: the size hardly changes within one.
const uint32_t WINDOW_CHOICES[] = {0,    64,   96,    128,   192,   256,   384,   512,
                                   768,  1024, 1536,  2048,  3072,  4096,  6144,  8192,
                                   12288, 16384, 24576, 32768, 49152, LONGEST_WINDOW};
const size_t WINDOW_CHOICE_COUNT = sizeof WINDOW_CHOICES / sizeof WINDOW_CHOICES[0];

enum {
    // Inputs up to this size are estimated whole: samples of mixed data miss
    // by a few percent. The best level can afford to look at more.
    FAST_WHOLE_ESTIMATE_LIMIT = 1 << 19,
    BEST_WHOLE_ESTIMATE_LIMIT = 1 << 23,
    SAMPLE_COUNT = 16,
    SAMPLE_SIZE = 1 << 15,
    // Smaller windows are tried until this many in a row did no better.
    WORSE_WINDOWS_TO_STOP = 3,
};

// The fast level's stream size for this window.
uint64_t WholeEstimate(const uint8_t* data, size_t size, size_t window)
{
    if (size <= window)
        return size;
    return window + FastTokenBytes(data, size, window, window, size);
}

// The fast level's stream size for this window, times the sampled bytes: the
// raw prefix, and the rest at the rate of samples spread over the input, each
// with a full window of history.
uint64_t SampledEstimate(const uint8_t* data, size_t size, size_t window)
{
    const size_t spread = size - LONGEST_WINDOW - SAMPLE_SIZE;
    uint64_t tokenBytes = 0;
    for (size_t k = 0; k < SAMPLE_COUNT; k++) {
        const size_t begin = LONGEST_WINDOW + spread / (SAMPLE_COUNT - 1) * k;
        tokenBytes += FastTokenBytes(data, size, window, begin, begin + SAMPLE_SIZE);
    }
    return (uint64_t)window * SAMPLE_COUNT * SAMPLE_SIZE + (size - window) * tokenBytes;
}

// The smallest window that holds the whole input: larger ones change nothing.
size_t LargestUsefulChoice(size_t size)
{
    size_t k = 0;
    while (k + 1 < WINDOW_CHOICE_COUNT && WINDOW_CHOICES[k] < size)
        k++;
    return k;
}

} // namespace

// A larger window finds more matches but costs its raw prefix. The size as a
// function of the window has one valley in practice, so the search walks down
// from the largest useful window and stops past the bottom.
StreamParameters ChooseStreamParameters(const uint8_t* data, size_t size, CompressionLevel level)
{
    const size_t wholeLimit = level == COMPRESS_BEST ? BEST_WHOLE_ESTIMATE_LIMIT : FAST_WHOLE_ESTIMATE_LIMIT;
    const bool whole = size <= wholeLimit;
    uint32_t bestWindow = 0;
    uint64_t bestEstimate = UINT64_MAX;
    unsigned worse = 0;
    for (size_t k = LargestUsefulChoice(size) + 1; k-- > 0 && worse < WORSE_WINDOWS_TO_STOP;) {
        const uint32_t window = WINDOW_CHOICES[k];
        const uint64_t estimate = whole ? WholeEstimate(data, size, window) : SampledEstimate(data, size, window);
        worse = estimate < bestEstimate ? 0 : worse + 1;
        if (estimate < bestEstimate) {
            bestEstimate = estimate;
            bestWindow = window;
        }
    }
    return StreamParameters{bestWindow, LONGEST_MATCH};
}

std::vector<uint8_t> EncodeStream(const uint8_t* data, size_t size, StreamParameters parameters,
                                  CompressionLevel level, const EncodeProgress* progress)
{
    const size_t window = parameters.rawLength;
    const size_t limit = parameters.maxMatch < LONGEST_MATCH ? parameters.maxMatch : (size_t)LONGEST_MATCH;
    const size_t prefix = size < window ? size : window;
    Bytes out(data, data + prefix);
    TokenWriter tokens = TokensInto(out);
    const bool best = level == COMPRESS_BEST;
    Search s = NewSearch(data, size, window, best ? BEST_DEPTH : FAST_DEPTH, best);
    if (!best)
        InsertRange(s, 0, prefix);
    if (best)
        EncodeOptimal(s, limit, tokens, progress);
    else
        EncodeGreedy(s, limit, tokens, progress);
    return out;
}

void SetEncoderThreads(unsigned count)
{
    EncoderThreads = count ? count : 1;
}
