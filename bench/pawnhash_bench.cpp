// ProbePawnHash: a hit, as for most evaluations of a search, and a miss, which computes the
// pawn structure into the slot.
#include <benchmark/benchmark.h>

#include "benchengine.h"
#include "engine.h"
#include "eval/pawnhash.h"
#include "search/tables.h"

// Pawn structures from a symmetric opening to a ragged middlegame and a pawn ending.
static const char* const pawnHashFens[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP2BPPP/R2QKB1R w KQ - 0 8",
    "5b1k/1pQ5/1p1pr2r/P3p1q1/2B1Pp2/5P1p/1P1R2Pp/3R3K w - - 0 1",
    "8/6p1/8/2k1p2p/4P1PP/5K2/8/8 b - - 0 1",
};

static void BM_ProbePawnHashHit(benchmark::State& state) {
    auto e = EngineAt(pawnHashFens[state.range(0)]);
    ProbePawnHash(*e);
    for (auto _ : state)
        benchmark::DoNotOptimize(ProbePawnHash(*e).structureScore);
}
BENCHMARK(BM_ProbePawnHashHit)->DenseRange(0, 3);

// Each probe misses: the key's home slot, where the structure is stored, is emptied first.
static void BM_ProbePawnHashMiss(benchmark::State& state) {
    auto e = EngineAt(pawnHashFens[state.range(0)]);
    PawnHashEntry& home = e->eval.pawnHash[uint32_t(e->pos.pawnKey) & (PawnHashSize - 1)];
    for (auto _ : state) {
        home.valid = 0;
        benchmark::DoNotOptimize(ProbePawnHash(*e).structureScore);
    }
}
BENCHMARK(BM_ProbePawnHashMiss)->DenseRange(0, 3);
