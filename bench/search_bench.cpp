// A fixed-depth search through IterativeDeepening, the node and quiescence searches with
// every table as in a game: the whole search in one figure, with its node count, which only
// a change of the search may change. The tables are cleared before each search, untimed.
#include <benchmark/benchmark.h>

#include "engine.h"
#include "search/driver.h"
#include "search/tables.h"

// Middlegames, the "bench" position among them, and a rook ending; with their depths.
static const struct {
    const char* fen;
    int depth;
} searchCases[] = {
    {"r2qkbnr/1pp3pp/p1p2p2/4p3/3PP1b1/5N2/PPP2PPP/RNBQ1RK1 w kq - 0 1", 8},
    {"r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP2BPPP/R2QKB1R w KQ - 0 8", 7},
    {"2r2rk1/pp1bqppp/2n1pn2/3p4/3P4/2PBPN2/P2N1PPP/R2QR1K1 b - - 0 13", 7},
    {"8/k7/8/1KP4r/5R2/8/2P5/8 w - - 0 1", 12},
};

// Reports the nodes of one search and the nodes a second.
static void BM_Search(benchmark::State& state) {
    const auto& c = searchCases[state.range(0)];
    auto e = CreateEngine(16);  // the default hash size
    e->book.useBook = 0;
    e->search.maxTime = 900000;
    int64_t nodes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SetUpEpdPosition(*e, c.fen);
        e->search.searchDepth = c.depth;
        state.ResumeTiming();
        benchmark::DoNotOptimize(IterativeDeepening(*e));
        nodes += e->pos.nodeCount;
    }
    state.counters["nodes"] = benchmark::Counter(double(nodes), benchmark::Counter::kAvgIterations);
    state.counters["nps"] = benchmark::Counter(double(nodes), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Search)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
