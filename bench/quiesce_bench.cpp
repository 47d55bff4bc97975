// Quiesce from positions full of captures, as the search calls it at the horizon. The
// transposition table is switched off so that every call searches the same tree (the table
// has its own benchmarks); the history and killers it feeds settle after the first calls.
#include <benchmark/benchmark.h>

#include "benchengine.h"
#include "engine.h"
#include "search/quiesce.h"
#include "search/score.h"
#include "search/tables.h"
#include "search/transtable.h"

// Captures and threats on both sides; trees of 16 to 34 nodes.
static const char* const quiesceFens[] = {
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "4r1k1/ppp4p/4bqp1/5p2/3r1QP1/2NB2nP/PPP5/2KRR3 w - - 0 1",
    "2rr2k1/2b2pp1/p1n2n1p/1p3N2/1P2q3/P3PQPP/1B3PK1/2RR4 w - - 0 1",
    "2kr3r/pp1q1ppp/2n1bn2/3pp3/3PP3/2N1BN2/PPQ2PPP/2KR3R w - - 0 1",
};

static void BM_Quiesce(benchmark::State& state) {
    auto e = EngineAt(quiesceFens[state.range(0)]);
    SetHashSize(*e, 0);
    Position& p = e->pos;
    // The position is the root and the horizon: the first two levels are threat levels.
    p.rootPly = p.currentPly;
    p.searchPly = p.effectivePly = 0;
    e->search.searchDepth = 0;
    p.nodeCount = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(Quiesce(*e, -Infinity, Infinity));
    state.counters["nodes"] = benchmark::Counter(double(p.nodeCount),
                                                 benchmark::Counter::kAvgIterations);
    state.counters["nps"] = benchmark::Counter(double(p.nodeCount), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Quiesce)->DenseRange(0, 3);
