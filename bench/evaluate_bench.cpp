// Evaluate on typical positions, with the pawn hash warm (the common case in a search)
// and cold (every call computes the pawn structure).
#include <benchmark/benchmark.h>

#include "benchengine.h"
#include "engine.h"
#include "eval/evaluate.h"
#include "eval/pawnhash.h"
#include "search/tables.h"

static const char* const benchPositions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r1bqk2r/pppp1ppp/2n2n2/2b1p3/2B1P3/2N2N2/PPPP1PPP/R1BQK2R w KQkq - 0 1",
    "2rq1rk1/1b2bppp/p3pn2/1p6/3N4/P1N1B3/1PP1QPPP/3R1RK1 w - - 0 1",
    "8/5k2/8/3p4/8/2P5/5K2/8 b - - 0 1",
};

static void BM_EvaluateWarm(benchmark::State& state) {
    auto e = EngineAt(benchPositions[state.range(0)]);
    for (auto _ : state)
        benchmark::DoNotOptimize(Evaluate(*e));
}
BENCHMARK(BM_EvaluateWarm)->DenseRange(0, 3);

static void BM_EvaluateCold(benchmark::State& state) {
    auto e = EngineAt(benchPositions[state.range(0)]);
    for (auto _ : state) {
        e->eval.pawnHash[uint32_t(e->pos.pawnKey) & (PawnHashSize - 1)].valid = 0;
        benchmark::DoNotOptimize(Evaluate(*e));
    }
}
BENCHMARK(BM_EvaluateCold)->DenseRange(0, 3);
