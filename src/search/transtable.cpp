// Transposition table: a power-of-two array of 20-byte entries in buckets of four.
#include "search/transtable.h"

#include <cstdlib>
#include <cstring>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "engine.h"
#include "search/score.h"

static constexpr int BucketSize = 4;
static constexpr uint64_t BytesPerMegabyte = 1048576;
// The table is aligned to (and asked to be backed by) 2 MB pages: a probe is a random access
// into many megabytes, and large pages spare it most address-translation misses.
static constexpr size_t LargePageBytes = 2 * 1048576;

static_assert(sizeof(TTEntry) == 20, "the sizing rule counts entries of 20 bytes");

// Returns the largest power of two (at least 2) of entries that fit in megabytes MB.
static uint32_t EntriesFor(int megabytes) {
    uint64_t limit = uint64_t(megabytes) * BytesPerMegabyte / sizeof(TTEntry);
    uint32_t count = 2;
    while (uint64_t(count) * 2 <= limit)
        count *= 2;
    return count;
}

void FreeDeleter::operator()(void* block) const { std::free(block); }

// Returns a block for count entries, aligned to a large page, or nullptr.
static TTEntry* AllocateEntries(uint32_t count) {
    size_t bytes = size_t(count) * sizeof(TTEntry);
    bytes = (bytes + LargePageBytes - 1) / LargePageBytes * LargePageBytes;
    void* block = std::aligned_alloc(LargePageBytes, bytes);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (block)
        madvise(block, bytes, MADV_HUGEPAGE);
#endif
    return static_cast<TTEntry*>(block);
}

void ClearTransTable(Engine& e) {
    SearchData& s = e.search;
    if (s.ttBase)
        std::memset(static_cast<void*>(s.ttBase.get()), 0, size_t(s.ttEntries) * sizeof(TTEntry));
}

int SetHashSize(Engine& e, int megabytes) {
    SearchData& s = e.search;
    s.ttBase.reset();
    s.ttEntries = 0;
    s.ttMask = 0;
    if (megabytes < 1)
        return 0;
    if (megabytes > MaxHashMegabytes)
        megabytes = MaxHashMegabytes;
    for (int size = megabytes; size >= 1; size /= 2) {
        uint32_t count = EntriesFor(size);
        s.ttBase.reset(AllocateEntries(count));
        if (!s.ttBase)
            continue;
        s.ttEntries = count;
        s.ttMask = count - 1;
        ClearTransTable(e);
        return size;
    }
    return 0;
}

uint32_t TTSizeBytes(const Engine& e) { return e.search.ttEntries * uint32_t(sizeof(TTEntry)); }

// Plies from the root to the current node, each null move counting as one: the distance
// mate scores are counted in.
static inline int PliesFromRoot(const Engine& e) {
    return e.pos.searchPly - e.search.nullMoveExtraPlies;
}

// True when the entry belongs to the current position.
static inline bool Matches(const TTEntry& t, uint32_t keyLow, uint32_t keyHigh, uint8_t ep) {
    return t.keyLow == keyLow && t.keyHigh == keyHigh && t.ep == ep && t.from != 0;
}

// True when the stored move could be played by the side to move: its own piece on from, an
// empty square or an enemy piece other than the king on to.
static bool MoveFitsBoard(const Position& p, const TTEntry& t) {
    if (t.from >= 120 || t.to >= 120)
        return false;
    int mover = p.board[t.from];
    int target = p.board[t.to];
    if (p.whiteToMove)
        return mover >= Pawn && mover <= King && target <= Empty && t.to != p.black.kingSquare;
    return mover <= -Pawn && target >= Empty && target != Border && t.to != p.white.kingSquare;
}

bool TTProbe(Engine& e, TTEntry& entry) {
    SearchData& s = e.search;
    const Position& p = e.pos;
    if (s.ttBase) {
        uint32_t keyLow = uint32_t(p.hashKey);
        uint32_t keyHigh = uint32_t(p.hashKey >> 32);
        for (uint32_t k = 0; k < BucketSize; k++) {
            const TTEntry& t = s.ttBase[(keyLow + k) & s.ttMask];
            if (!Matches(t, keyLow, keyHigh, p.epSquare))
                continue;
            // A move that does not fit belongs to another position with the same key.
            if (t.from != NullMoveBestMarker && !MoveFitsBoard(p, t))
                break;
            entry = t;
            entry.score = ScoreFromTable(t.score, PliesFromRoot(e));
            s.stats.hashHits++;
            return true;
        }
    }
    // A miss hands back an empty entry, so that no field of the copy is left unset.
    entry = TTEntry{};
    return false;
}

// True when an entry of the same position and depth is at least as useful as the new result.
static bool KeepSameDepth(const TTEntry& old, int score, uint8_t type) {
    if (old.type == ExactScore)
        return true;
    if (old.type == LowerBound && type == LowerBound)
        return old.score > score;
    if (old.type == UpperBound && type == UpperBound)
        return old.score < score;
    return false;
}

void TTStore(Engine& e, Move move, int depth, int score, uint8_t type) {
    SearchData& s = e.search;
    const Position& p = e.pos;
    if (!s.ttBase)
        return;
    score = ScoreToTable(score, PliesFromRoot(e));
    uint32_t keyLow = uint32_t(p.hashKey);
    uint32_t keyHigh = uint32_t(p.hashKey >> 32);
    uint8_t stamp = uint8_t(p.gamePly + p.searchPly);
    uint32_t home = keyLow & s.ttMask;

    // Find the position's own entry, remembering the first empty slot before it.
    TTEntry* slot = nullptr;
    TTEntry* empty = nullptr;
    bool sameEntry = false;
    for (uint32_t k = 0; k < BucketSize; k++) {
        TTEntry& t = s.ttBase[(home + k) & s.ttMask];
        if (Matches(t, keyLow, keyHigh, p.epSquare)) {
            slot = &t;
            sameEntry = true;
            break;
        }
        if (t.from == 0 && !empty)
            empty = &t;
    }
    if (sameEntry) {
        if (slot->depth > depth)
            return;
        if (slot->depth == depth && KeepSameDepth(*slot, score, type))
            return;
    } else if (empty) {
        slot = empty;
    } else {
        // Replace an entry from this or a later game ply or from an earlier search, else
        // the shallowest one (the first of equals).
        for (uint32_t k = 0; k < BucketSize && !slot; k++) {
            TTEntry& t = s.ttBase[(home + k) & s.ttMask];
            if (t.stamp >= stamp || int(t.stamp) <= p.gamePly)
                slot = &t;
        }
        if (!slot) {
            slot = &s.ttBase[home];
            for (uint32_t k = 1; k < BucketSize; k++) {
                TTEntry& t = s.ttBase[(home + k) & s.ttMask];
                if (t.depth < slot->depth)
                    slot = &t;
            }
        }
    }
    slot->keyLow = keyLow;
    slot->keyHigh = keyHigh;
    if (!(sameEntry && MoveFrom(move) == NullMoveBestMarker)) {
        slot->from = uint8_t(MoveFrom(move));
        slot->to = uint8_t(MoveTo(move));
        slot->promotion = int8_t(MovePromotion(move));
    }
    slot->stamp = stamp;
    slot->ep = p.epSquare;
    slot->depth = int8_t(depth);
    slot->score = score;
    slot->type = type;
}
