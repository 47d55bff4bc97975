// The exchange and threat tests the quiescence filter asks of a move list: CaptureGainTest of
// each capture, QuiescenceThreatTest of each capture and quiet knight, rook and queen move.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "benchengine.h"
#include "engine.h"
#include "search/exchange.h"
#include "search/tables.h"

// Positions rich in captures, checks and forks.
static const char* const exchangeFens[] = {
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "4r1k1/ppp4p/4bqp1/5p2/3r1QP1/2NB2nP/PPP5/2KRR3 w - - 0 1",
    "2rr2k1/2b2pp1/p1n2n1p/1p3N2/1P2q3/P3PQPP/1B3PK1/2RR4 w - - 0 1",
    "r1b1k2r/2qpbpp1/p1n1pn1p/8/1p1NPPP1/P1N1B3/1PPQB2P/R3K2R w KQkq - 0 1",
};

// The margins asked: any gain, a minor piece's worth.
static constexpr int32_t exchangeMargins[] = {1, 3000};

// The moves of the position's list that the filter asks about: the captures, and with
// quietThreats also the quiet knight, rook and queen moves.
static std::vector<Move> AskedMoves(const Engine& e, bool quietThreats) {
    const Position& p = e.pos;
    const PlyRecord* r = p.currentPly;
    std::vector<Move> moves;
    for (int i = 0; i < r->moveCount; i++) {
        const MoveListEntry& m = r->moves[i];
        int kind = std::abs(p.board[m.from]);
        if (p.board[m.to] != Empty
            || (quietThreats && (kind == Knight || kind == Rook || kind == Queen)))
            moves.push_back(EntryMove(m));
    }
    return moves;
}

static void BM_CaptureGainTest(benchmark::State& state) {
    auto e = EngineAt(exchangeFens[state.range(0)]);
    const int32_t margin = exchangeMargins[state.range(1)];
    const std::vector<Move> moves = AskedMoves(*e, false);
    for (auto _ : state)
        for (Move m : moves)
            benchmark::DoNotOptimize(CaptureGainTest(*e, m, margin));
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(moves.size()));
}
BENCHMARK(BM_CaptureGainTest)->ArgsProduct({{0, 1, 2, 3}, {0, 1}});

static void BM_QuiescenceThreatTest(benchmark::State& state) {
    auto e = EngineAt(exchangeFens[state.range(0)]);
    const int32_t margin = exchangeMargins[state.range(1)];
    const std::vector<Move> moves = AskedMoves(*e, true);
    for (auto _ : state)
        for (Move m : moves)
            benchmark::DoNotOptimize(QuiescenceThreatTest(*e, m, margin));
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(moves.size()));
}
BENCHMARK(BM_QuiescenceThreatTest)->ArgsProduct({{0, 1, 2, 3}, {0, 1}});
