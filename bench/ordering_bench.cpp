// OrderMoves on whole move lists: the full ordering of an inner node (with a hash move, as
// most nodes have one) and the capture mode of the quiescence search, whose filter runs the
// exchange and threat tests.
#include <benchmark/benchmark.h>

#include "benchengine.h"
#include "engine.h"
#include "search/ordering.h"
#include "search/tables.h"

// Middlegames with captures and threats on the board, and an opening with an early queen.
static const char* const orderingFens[] = {
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP2BPPP/R2QKB1R w KQ - 0 8",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "4r1k1/ppp4p/4bqp1/5p2/3r1QP1/2NB2nP/PPP5/2KRR3 w - - 0 1",
    "r1b1k2r/2qpbpp1/p1n1pn1p/8/1p1NPPP1/P1N1B3/1PPQB2P/R3K2R w KQkq - 0 1",
    "rnbqkbnr/pppp1ppp/8/4p2Q/4P3/8/PPPP1PPP/RNB1KBNR b KQkq - 1 2",
};

// Full mode; the hash move is the list's last move, so it is found only at the end.
static void BM_OrderMoves(benchmark::State& state) {
    auto e = EngineAt(orderingFens[state.range(0)]);
    const PlyRecord* r = e->pos.currentPly;
    const Move hashMove = EntryMove(r->moves[r->moveCount - 1]);
    for (auto _ : state) {
        OrderMoves(*e, 0, true, hashMove);
        benchmark::DoNotOptimize(r->moves[0]);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * r->moveCount);
}
BENCHMARK(BM_OrderMoves)->DenseRange(0, 4);

// Capture mode with the smallest margin: every capture and possible threat is tested.
static void BM_OrderMovesQuiescence(benchmark::State& state) {
    auto e = EngineAt(orderingFens[state.range(0)]);
    const PlyRecord* r = e->pos.currentPly;
    for (auto _ : state) {
        OrderMoves(*e, 1, false, 0);
        benchmark::DoNotOptimize(r->moves[0]);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * r->moveCount);
}
BENCHMARK(BM_OrderMovesQuiescence)->DenseRange(0, 4);

// Picking the best of the rest for the first eight places of a keyed list; after the first
// iteration the list is in order, so each pick is one scan without a swap.
static void BM_PickNextMove(benchmark::State& state) {
    auto e = EngineAt(orderingFens[state.range(0)]);
    const PlyRecord* r = e->pos.currentPly;
    OrderMoves(*e, 0, true, 0);
    for (auto _ : state) {
        for (int i = 1; i <= 7 && i < r->moveCount; i++)
            PickNextMove(*e, i);
        benchmark::DoNotOptimize(r->moves[1]);
    }
}
BENCHMARK(BM_PickNextMove)->DenseRange(0, 4);
