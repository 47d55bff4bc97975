// The pawn hash: pawn structures cached by pawnKey with a two-slot probe.
#pragma once

#include "eval/evaldata.h"

struct Engine;

// Empties every entry of the pawn hash.
void ClearPawnHash(Engine& e);

// Returns the entry for the position's pawnKey, computing the structure on a miss.
const PawnHashEntry& ProbePawnHash(Engine& e);

// Starts loading the two slots a probe for pawnKey reads, so that it does not wait for memory.
inline void PrefetchPawnHash(const EvalData& ev, uint64_t pawnKey) {
    constexpr uint32_t mask = PawnHashSize - 1;
    uint32_t slot = uint32_t(pawnKey) & mask;
    __builtin_prefetch(&ev.pawnHash[slot]);
    __builtin_prefetch(&ev.pawnHash[(slot + 1) & mask].wingPasserUnits);  // its last byte
}
