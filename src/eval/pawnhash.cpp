// Pawn hash probing: slot i from the low key bits, then slot i + 1 when i holds another key.
#include "eval/pawnhash.h"

#include "engine.h"
#include "eval/pawns.h"

static_assert((PawnHashSize & (PawnHashSize - 1)) == 0, "the slot mask needs a power of two");
constexpr uint32_t PawnHashMask = PawnHashSize - 1;

void ClearPawnHash(Engine& e) {
    for (PawnHashEntry& entry : e.eval.pawnHash)
        entry.valid = 0;
}

// True when a filled entry holds the structure of the given key.
static bool HoldsKey(const PawnHashEntry& entry, uint32_t low, uint32_t high) {
    return entry.valid && entry.keyLow == low && entry.keyHigh == high;
}

const PawnHashEntry& ProbePawnHash(Engine& e) {
    uint32_t low = uint32_t(e.pos.pawnKey);
    uint32_t high = uint32_t(e.pos.pawnKey >> 32);
    uint32_t i = low & PawnHashMask;
    if (e.eval.pawnHash[i].valid && !HoldsKey(e.eval.pawnHash[i], low, high))
        i = (i + 1) & PawnHashMask;
    PawnHashEntry& entry = e.eval.pawnHash[i];
    if (HoldsKey(entry, low, high)) {
        e.eval.pawnHashHits++;
        return entry;
    }
    EvaluatePawns(e, entry);
    entry.keyLow = low;
    entry.keyHigh = high;
    entry.valid = 1;
    return entry;
}
