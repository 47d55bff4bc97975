// Attack maps: both sides' slider walks (BuildSliderAttacks), which every GenerateMoves runs
// for the side not to move and, in check, for the side to move, from cleared maps.
#include <benchmark/benchmark.h>

#include "benchengine.h"
#include "board/attacks.h"
#include "engine.h"
#include "search/tables.h"

// Few and many sliders, open and closed lines.
static const char* const attackFens[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "2rr2k1/2b2pp1/p1n2n1p/1p3N2/1P2q3/P3PQPP/1B3PK1/2RR4 w - - 0 1",
    "8/k7/8/1KP4r/5R2/8/2P5/8 w - - 0 1",
};

static void BM_BuildSliderAttacks(benchmark::State& state) {
    auto e = EngineAt(attackFens[state.range(0)]);
    Position& p = e->pos;
    for (auto _ : state) {
        ResetAttackMaps(p);
        BuildSliderAttacks(p, WhiteSide);
        BuildSliderAttacks(p, BlackSide);
        benchmark::DoNotOptimize(p.mobilityBalance);
    }
}
BENCHMARK(BM_BuildSliderAttacks)->DenseRange(0, 3);
