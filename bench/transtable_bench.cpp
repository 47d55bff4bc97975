// The transposition table at the default 16 MB: probes that hit, probes that miss and
// stores, each at a fresh random place of the table as in a search, so that the memory
// access is part of the cost. The keys are set on the Position without moving a piece.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine.h"
#include "search/tables.h"
#include "search/transtable.h"

static constexpr int TableMegabytes = 16;
// Positions stored before a hit or miss is timed: a sixth of the entries.
static constexpr int FilledPositions = 1 << 17;
// Positions whose entries the hit benchmark probes, in turn.
static constexpr int HitPositions = 1 << 16;

// A fixed stream of well-spread 64-bit keys (xorshift64*).
struct KeyStream {
    uint64_t state;
    uint64_t Next() {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return state * 2685821657736338717ULL;
    }
};

// An engine at the benchmark's middlegame whose table holds count random positions from
// the seed, each stored with the first legal move, which fits the board.
static std::unique_ptr<Engine> FilledEngine(uint64_t seed, int count) {
    auto e = CreateEngine(TableMegabytes);
    SetUpEpdPosition(*e, "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP2BPPP/R2QKB1R w KQ - 0 8");
    const Move move = EntryMove(e->pos.currentPly->moves[0]);
    KeyStream keys{seed};
    for (int i = 0; i < count; i++) {
        e->pos.hashKey = keys.Next();
        TTStore(*e, move, 1 + i % 8, 100, LowerBound);
    }
    return e;
}

static void BM_TTProbeHit(benchmark::State& state) {
    auto e = FilledEngine(7, HitPositions);
    std::vector<uint64_t> stored(HitPositions);
    KeyStream keys{7};
    for (uint64_t& key : stored)
        key = keys.Next();
    size_t next = 0;
    int64_t hits = 0;
    for (auto _ : state) {
        e->pos.hashKey = stored[next];
        next = (next + 1) & (HitPositions - 1);
        TTEntry t;
        hits += TTProbe(*e, t);
        benchmark::DoNotOptimize(t);
    }
    state.counters["hit_rate"] = double(hits) / double(state.iterations());
}
BENCHMARK(BM_TTProbeHit);

static void BM_TTProbeMiss(benchmark::State& state) {
    auto e = FilledEngine(7, FilledPositions);
    KeyStream keys{11};
    int64_t hits = 0;
    for (auto _ : state) {
        e->pos.hashKey = keys.Next();
        TTEntry t;
        hits += TTProbe(*e, t);
        benchmark::DoNotOptimize(t);
    }
    state.counters["hit_rate"] = double(hits) / double(state.iterations());
}
BENCHMARK(BM_TTProbeMiss);

// Stores of new positions into a table that fills as the benchmark runs, so the later ones
// go through the bucket's replacement rules.
static void BM_TTStore(benchmark::State& state) {
    auto e = FilledEngine(7, FilledPositions);
    const Move move = EntryMove(e->pos.currentPly->moves[0]);
    KeyStream keys{13};
    int depth = 0;
    for (auto _ : state) {
        e->pos.hashKey = keys.Next();
        TTStore(*e, move, 1 + (depth++ & 7), 100, LowerBound);
    }
    benchmark::DoNotOptimize(e->search.ttBase);
}
BENCHMARK(BM_TTStore);
