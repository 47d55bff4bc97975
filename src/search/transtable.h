// Transposition table: score bounds, depths and best moves per position.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "search/searchdata.h"

struct Engine;

// From-square of the move stored after a null-move cutoff (no real move).
constexpr uint8_t NullMoveBestMarker = 1;
// Largest table size in megabytes.
constexpr int MaxHashMegabytes = 256;

// Sizes the table to at most megabytes MB (capped at 256) and empties it; below 1 switches it
// off. When the block cannot be allocated, smaller sizes down to 1 MB are tried, else the
// table is switched off. Returns the megabytes allocated, 0 when off.
int SetHashSize(Engine& e, int megabytes);

// Bytes used by the table's entries.
uint32_t TTSizeBytes(const Engine& e);

// Looks the current position up; true with a copy of its entry when one matches and its move
// still fits the board, its score (a mate counted from the node) made a score from the root
// again. On false the copy is empty: every field 0, so no hash move.
bool TTProbe(Engine& e, TTEntry& entry);

// Stores a result for the current position under the bucket's replacement rules; a mate
// score is kept counted from this node.
void TTStore(Engine& e, Move move, int depth, int score, uint8_t type);

// Starts loading the bucket of a position with the given key into the cache, so that a
// probe soon after does not wait for memory.
inline void TTPrefetch(const SearchData& s, uint64_t key) {
    if (s.ttBase) {
        // A bucket of four 20-byte entries spans up to three cache lines: the first byte,
        // the third entry (always in the middle line when there are three) and the last byte.
        uint32_t home = uint32_t(key);
        __builtin_prefetch(&s.ttBase[home & s.ttMask]);
        __builtin_prefetch(&s.ttBase[(home + 2) & s.ttMask]);
        __builtin_prefetch(&s.ttBase[(home + 3) & s.ttMask].words[4]);
    }
}

// The entry a slot holds, each word read as an atomic (another thread may be writing it);
// from 0 marks an empty slot.
TTEntry ReadSlot(TTSlot& slot);

// Empties every entry of the table.
void ClearTransTable(Engine& e);
