// Transposition table: a power-of-two array of 20-byte entries in buckets of four.
#include "search/transtable.h"

#include <atomic>
#include <cstddef>
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
static_assert(sizeof(TTSlot) == sizeof(TTEntry), "a slot stores one entry");

// The words of a slot: the four small fields, the score, the two key halves and the move.
enum : int { FlagsWord, ScoreWord, KeyLowWord, KeyHighWord, MoveWord };

// The key words are stored mixed with the others (the mix is its own inverse). Two threads
// writing one slot at once may leave it with words of both stores; the mixed key then no
// longer matches, so a probe never trusts a torn entry.
//
// Every word is loaded and stored as an atomic of its own, into and from registers, and the
// fields are packed and unpacked with shifts: a copy through memory, stored in words and
// reloaded in fields or the other way round, stalls on the processor's store forwarding.
static inline uint32_t LoadWord(TTSlot& slot, int i) {
    return std::atomic_ref<uint32_t>(slot.words[i]).load(std::memory_order_relaxed);
}

static inline void StoreWord(TTSlot& slot, int i, uint32_t word) {
    std::atomic_ref<uint32_t>(slot.words[i]).store(word, std::memory_order_relaxed);
}

// The five words of a slot, loaded and with the key unmixed.
struct SlotWords {
    uint32_t flags, score, keyLow, keyHigh, move;
};

static inline SlotWords LoadSlot(TTSlot& slot) {
    SlotWords w;
    w.flags = LoadWord(slot, FlagsWord);
    w.score = LoadWord(slot, ScoreWord);
    w.move = LoadWord(slot, MoveWord);
    w.keyLow = LoadWord(slot, KeyLowWord) ^ w.flags ^ w.move;
    w.keyHigh = LoadWord(slot, KeyHighWord) ^ w.score;
    return w;
}

static inline TTEntry UnpackSlot(const SlotWords& w) {
    TTEntry t;
    t.stamp = uint8_t(w.flags);
    t.depth = int8_t(w.flags >> 8);
    t.type = uint8_t(w.flags >> 16);
    t.ep = uint8_t(w.flags >> 24);
    t.score = int32_t(w.score);
    t.keyLow = w.keyLow;
    t.keyHigh = w.keyHigh;
    t.from = uint8_t(w.move);
    t.to = uint8_t(w.move >> 8);
    t.promotion = int8_t(w.move >> 16);
    return t;
}

TTEntry ReadSlot(TTSlot& slot) { return UnpackSlot(LoadSlot(slot)); }

// Writes a slot, each word as an atomic of its own.
static inline void StoreEntry(TTSlot& slot, const TTEntry& t) {
    const uint32_t flags = uint32_t(t.stamp) | uint32_t(uint8_t(t.depth)) << 8
                         | uint32_t(t.type) << 16 | uint32_t(t.ep) << 24;
    const uint32_t move = uint32_t(t.from) | uint32_t(t.to) << 8
                        | uint32_t(uint8_t(t.promotion)) << 16;
    const uint32_t score = uint32_t(t.score);
    StoreWord(slot, FlagsWord, flags);
    StoreWord(slot, ScoreWord, score);
    StoreWord(slot, KeyLowWord, t.keyLow ^ flags ^ move);
    StoreWord(slot, KeyHighWord, t.keyHigh ^ score);
    StoreWord(slot, MoveWord, move);
}

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
static TTSlot* AllocateEntries(uint32_t count) {
    size_t bytes = size_t(count) * sizeof(TTSlot);
    bytes = (bytes + LargePageBytes - 1) / LargePageBytes * LargePageBytes;
    void* block = std::aligned_alloc(LargePageBytes, bytes);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (block)
        madvise(block, bytes, MADV_HUGEPAGE);
#endif
    return static_cast<TTSlot*>(block);
}

void ClearTransTable(Engine& e) {
    SearchData& s = e.search;
    if (s.ttBase)
        std::memset(static_cast<void*>(s.ttBase), 0, size_t(s.ttEntries) * sizeof(TTSlot));
}

int SetHashSize(Engine& e, int megabytes) {
    SearchData& s = e.search;
    s.ttStorage.reset();
    s.ttBase = nullptr;
    s.ttEntries = 0;
    s.ttMask = 0;
    if (megabytes < 1)
        return 0;
    if (megabytes > MaxHashMegabytes)
        megabytes = MaxHashMegabytes;
    for (int size = megabytes; size >= 1; size /= 2) {
        uint32_t count = EntriesFor(size);
        s.ttStorage.reset(AllocateEntries(count));
        if (!s.ttStorage)
            continue;
        s.ttBase = s.ttStorage.get();
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
            const SlotWords w = LoadSlot(s.ttBase[(keyLow + k) & s.ttMask]);
            // Most slots hold other positions: the key words reject them before any unpacking.
            if (w.keyLow != keyLow || w.keyHigh != keyHigh)
                continue;
            const TTEntry t = UnpackSlot(w);
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
    TTEntry bucket[BucketSize];
    for (uint32_t k = 0; k < BucketSize; k++)
        bucket[k] = ReadSlot(s.ttBase[(home + k) & s.ttMask]);
    int slot = -1;
    int empty = -1;
    bool sameEntry = false;
    for (int k = 0; k < BucketSize; k++) {
        if (Matches(bucket[k], keyLow, keyHigh, p.epSquare)) {
            slot = k;
            sameEntry = true;
            break;
        }
        if (bucket[k].from == 0 && empty < 0)
            empty = k;
    }
    if (sameEntry) {
        if (bucket[slot].depth > depth)
            return;
        if (bucket[slot].depth == depth && KeepSameDepth(bucket[slot], score, type))
            return;
    } else if (empty >= 0) {
        slot = empty;
    } else {
        // Replace an entry from this or a later game ply or from an earlier search, else
        // the shallowest one (the first of equals).
        for (int k = 0; k < BucketSize && slot < 0; k++) {
            const TTEntry& t = bucket[k];
            if (t.stamp >= stamp || int(t.stamp) <= p.gamePly)
                slot = k;
        }
        if (slot < 0) {
            slot = 0;
            for (int k = 1; k < BucketSize; k++)
                if (bucket[k].depth < bucket[slot].depth)
                    slot = k;
        }
    }
    TTEntry t = bucket[slot];
    t.keyLow = keyLow;
    t.keyHigh = keyHigh;
    if (!(sameEntry && MoveFrom(move) == NullMoveBestMarker)) {
        t.from = uint8_t(MoveFrom(move));
        t.to = uint8_t(MoveTo(move));
        t.promotion = int8_t(MovePromotion(move));
    }
    t.stamp = stamp;
    t.ep = p.epSquare;
    t.depth = int8_t(depth);
    t.score = score;
    t.type = type;
    StoreEntry(s.ttBase[(home + slot) & s.ttMask], t);
}
