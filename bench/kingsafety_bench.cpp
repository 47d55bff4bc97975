// EvaluateKingSafety for both kings, as the middlegame evaluation calls it, on positions with
// castled, uncastled and attacked kings.
#include <benchmark/benchmark.h>

#include "benchengine.h"
#include "engine.h"
#include "eval/kingsafety.h"
#include "eval/pawnhash.h"
#include "search/tables.h"

static const char* const kingSafetyFens[] = {
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP2BPPP/R2QKB1R w KQ - 0 8",
    "r2q1rk1/1b1nbppp/pp1ppn2/8/2PNP3/2N1B3/PP2BPPP/R2Q1RK1 w - - 0 11",
    "1n1bq2k/p2n1p2/1p2pP1B/2p4P/2P5/1P3QP1/P4PN1/6K1 w - - 0 1",
    "r6k/p4p1p/4pP1Q/2p1q3/4R3/2P4R/PP4K1/8 b - - 0 1",
};

static void BM_EvaluateKingSafety(benchmark::State& state) {
    auto e = EngineAt(kingSafetyFens[state.range(0)]);
    const PawnHashEntry& entry = ProbePawnHash(*e);
    EvalData& ev = e->eval;
    for (auto _ : state) {
        // Evaluate starts both kings' sums afresh (from the pins) before adding these.
        ev.whiteKingSafety = ev.whiteKingDanger = 0;
        ev.blackKingSafety = ev.blackKingDanger = 0;
        EvaluateKingSafety(*e, WhiteSide, entry);
        EvaluateKingSafety(*e, BlackSide, entry);
        benchmark::DoNotOptimize(ev.whiteKingSafety);
        benchmark::DoNotOptimize(ev.blackKingSafety);
    }
}
BENCHMARK(BM_EvaluateKingSafety)->DenseRange(0, 3);
