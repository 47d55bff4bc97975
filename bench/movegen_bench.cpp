// Micro benchmarks of the hot path: generating a position's moves, and making and taking
// back every move of a list.
#include <benchmark/benchmark.h>

#include "benchengine.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "engine.h"
#include "search/tables.h"

// Positions with few and many pieces, quiet and in check.
static const char* const benchFens[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "4r2k/8/8/8/8/3n4/8/1B2K3 w - - 0 1",
};

// One generation step of the board code, repeated on one of the positions above.
template <int (*Step)(Position&)>
static void RunGeneration(benchmark::State& state) {
    auto e = EngineAt(benchFens[state.range(0)]);
    for (auto _ : state)
        benchmark::DoNotOptimize(Step(e->pos));
    state.SetItemsProcessed(int64_t(state.iterations()));
}

// The whole generation: both sides' maps, then the list.
static void BM_GenerateMoves(benchmark::State& state) { RunGeneration<GenerateMoves>(state); }
BENCHMARK(BM_GenerateMoves)->DenseRange(0, 4);

// The list alone, on the maps that stand: what a null move generates.
static void BM_GenerateMovesOnMaps(benchmark::State& state) {
    RunGeneration<GenerateMovesOnMaps>(state);
}
BENCHMARK(BM_GenerateMovesOnMaps)->DenseRange(0, 4);

// The maps alone, the list kept: what a node rebuilds after a null move.
static void BM_RebuildMaps(benchmark::State& state) { RunGeneration<RebuildMaps>(state); }
BENCHMARK(BM_RebuildMaps)->DenseRange(0, 4);

// Each iteration makes and takes back every move of the position's list; MakeMove
// generates the reply's moves, as it does in the search.
static void BM_MakeUnmakeAll(benchmark::State& state) {
    auto e = EngineAt(benchFens[state.range(0)]);
    const PlyRecord* r = e->pos.currentPly;
    for (auto _ : state)
        for (int i = 0; i < r->moveCount; i++) {
            MakeMove(e->pos, EntryMove(r->moves[i]));
            UnmakeMove(e->pos);
        }
    state.SetItemsProcessed(int64_t(state.iterations()) * r->moveCount);
}
BENCHMARK(BM_MakeUnmakeAll)->DenseRange(0, 4);
