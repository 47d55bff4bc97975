// Perft through CountNodes, as "testgen" runs it: move generation, make and unmake over a
// whole tree, leaves counted from the move lists of the last ply.
#include <benchmark/benchmark.h>

#include "benchengine.h"
#include "engine.h"
#include "search/tables.h"
#include "tools/perft.h"

// The starting position, and a middlegame with castling, en passant and promotions near.
static const char* const perftFens[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
};

// Arguments: the position and the depth. Rates of leaves, and of nodes as "testgen" counts
// them (the moves made plus the leaves).
static void BM_Perft(benchmark::State& state) {
    auto e = EngineAt(perftFens[state.range(0)]);
    const int depth = int(state.range(1));
    int64_t leaves = 0, made = 0;
    for (auto _ : state) {
        leaves += CountNodes(*e, depth);
        made += e->pos.nodeCount;
    }
    state.counters["leaves"] = benchmark::Counter(double(leaves), benchmark::Counter::kIsRate);
    state.counters["nodes"] = benchmark::Counter(double(made), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Perft)->Args({0, 4})->Args({0, 5})->Args({1, 3})->Args({1, 4})
    ->Unit(benchmark::kMillisecond);
