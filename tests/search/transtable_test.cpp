// Transposition table: sizing, matching and the bucket's replacement rules.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "search/tables.h"
#include "search/transtable.h"
#include "support.h"

namespace {

constexpr Move E2E4 = MakeMoveValue(62, 64);
constexpr Move D2D4 = MakeMoveValue(52, 54);
constexpr Move G1F3 = MakeMoveValue(81, 73);

// Sets the key the table sees without touching the board (the start position stays).
void UseKey(Engine& e, uint64_t key) { e.pos.hashKey = key; }

// Returns the entry found for the current key, failing the test when there is none.
TTEntry Found(Engine& e) {
    TTEntry t{};
    EXPECT_TRUE(TTProbe(e, t));
    return t;
}

TEST(TransTable, Sizing) {
    auto e = NewTestEngine();
    SetHashSize(*e, 16);
    EXPECT_EQ(e->search.ttEntries, 524288u);
    EXPECT_EQ(TTSizeBytes(*e), 10485760u);
    SetHashSize(*e, 1);
    EXPECT_EQ(e->search.ttEntries, 32768u);
    EXPECT_EQ(e->search.ttMask, 32767u);
    SetHashSize(*e, 0);
    EXPECT_EQ(e->search.ttBase, nullptr);
    EXPECT_EQ(TTSizeBytes(*e), 0u);
}

TEST(TransTable, LargestSizeIsCapped) {
    auto e = NewTestEngine();
    SetHashSize(*e, 1000);
    EXPECT_EQ(e->search.ttEntries, 8388608u);
    SetHashSize(*e, 256);
    EXPECT_EQ(e->search.ttEntries, 8388608u);
}

TEST(TransTable, OffTableNeitherStoresNorFinds) {
    auto e = NewTestEngine();
    SetHashSize(*e, 0);
    TTStore(*e, E2E4, 3, 100, ExactScore);
    TTEntry t{};
    t.from = 99;
    EXPECT_FALSE(TTProbe(*e, t));
    EXPECT_EQ(t.from, 0);
    EXPECT_EQ(e->search.stats.hashHits, 0);
    ClearTables(*e);  // harmless without a table
}

// True when every field of the copy is 0, as in an empty slot.
bool IsEmptyCopy(const TTEntry& t) {
    return t.stamp == 0 && t.depth == 0 && t.type == 0 && t.ep == 0 && t.score == 0
        && t.keyLow == 0 && t.keyHigh == 0 && t.from == 0 && t.to == 0 && t.promotion == 0;
}

TEST(TransTable, MissGivesAnEmptyCopy) {
    // Callers take the hash move from the copy whether the probe found it or not, so a miss
    // must leave no field as it was.
    auto e = NewTestEngine();
    TTEntry t;
    std::memset(static_cast<void*>(&t), 0xAB, sizeof t);
    EXPECT_FALSE(TTProbe(*e, t));
    EXPECT_TRUE(IsEmptyCopy(t));
    // A stored move that does not fit the board (e3-e4 from an empty square).
    TTStore(*e, MakeMoveValue(63, 64), 4, 50, ExactScore);
    std::memset(static_cast<void*>(&t), 0xAB, sizeof t);
    EXPECT_FALSE(TTProbe(*e, t));
    EXPECT_TRUE(IsEmptyCopy(t));
    // No table at all.
    SetHashSize(*e, 0);
    std::memset(static_cast<void*>(&t), 0xAB, sizeof t);
    EXPECT_FALSE(TTProbe(*e, t));
    EXPECT_TRUE(IsEmptyCopy(t));
}

TEST(TransTable, StoreAndProbe) {
    auto e = NewTestEngine();
    TTEntry t{};
    EXPECT_FALSE(TTProbe(*e, t));
    TTStore(*e, E2E4, 5, -1234, LowerBound);
    t = Found(*e);
    EXPECT_EQ(t.from, 62);
    EXPECT_EQ(t.to, 64);
    EXPECT_EQ(t.depth, 5);
    EXPECT_EQ(t.score, -1234);
    EXPECT_EQ(t.type, LowerBound);
    EXPECT_EQ(e->search.stats.hashHits, 1);
    // Quiescence stores negative depths.
    UseKey(*e, 0x1234567800000042ull);
    TTStore(*e, D2D4, -3, 7, UpperBound);
    EXPECT_EQ(Found(*e).depth, -3);
}

TEST(TransTable, ASlotTornByTwoWritersNoLongerMatches) {
    auto e = NewTestEngine();
    TTStore(*e, E2E4, 4, 120, LowerBound);
    TTSlot& slot = e->search.ttBase[uint32_t(e->pos.hashKey) & e->search.ttMask];
    const TTSlot whole = slot;
    EXPECT_EQ(Found(*e).score, 120);
    // Each word that another thread's store may leave behind alone: the score, the depth
    // and bound, the move.
    for (int word : {1, 0, 4}) {
        slot = whole;
        slot.words[word] ^= 0x00000301;
        TTEntry t{};
        EXPECT_FALSE(TTProbe(*e, t)) << word;
        EXPECT_EQ(t.from, 0) << word;
    }
    slot = whole;
    EXPECT_EQ(Found(*e).from, 62);
}

TEST(TransTable, MateScoresCountFromTheNode) {
    auto e = NewTestEngine();
    // Mating at root distance 10, stored three plies from the root: seven plies from the node.
    e->pos.searchPly = 3;
    TTStore(*e, E2E4, 4, 999990, ExactScore);
    EXPECT_EQ(ReadSlot(e->search.ttBase[uint32_t(e->pos.hashKey) & e->search.ttMask]).score, 999993);
    EXPECT_EQ(Found(*e).score, 999990);
    // Met again five plies from the root (or in a later search): still seven from the node.
    e->pos.searchPly = 5;
    EXPECT_EQ(Found(*e).score, 999988);
    e->pos.searchPly = 0;
    EXPECT_EQ(Found(*e).score, 999993);
    // Being mated, stored at ply 4 and met at ply 2.
    UseKey(*e, 0x0000000100000077ull);
    e->pos.searchPly = 4;
    TTStore(*e, D2D4, 2, -999990, UpperBound);
    e->pos.searchPly = 2;
    EXPECT_EQ(Found(*e).score, -999992);
    // A null move counts as one ply whatever its reduction added to searchPly.
    e->search.nullMoveExtraPlies = 2;
    e->pos.searchPly = 6;
    EXPECT_EQ(Found(*e).score, -999990);
    e->search.nullMoveExtraPlies = 0;
    // Other scores are kept as they are at any ply.
    UseKey(*e, 0x0000000200000099ull);
    e->pos.searchPly = 7;
    TTStore(*e, G1F3, 3, 999800, LowerBound);
    e->pos.searchPly = 1;
    EXPECT_EQ(Found(*e).score, 999800);
    e->pos.searchPly = 0;
}

TEST(TransTable, EnPassantSquareIsPartOfTheIdentity) {
    auto e = NewTestEngine();
    e->pos.epSquare = 63;  // e3
    TTStore(*e, D2D4, 2, 10, ExactScore);
    TTEntry t{};
    e->pos.epSquare = 0;
    EXPECT_FALSE(TTProbe(*e, t));
    e->pos.epSquare = 63;
    EXPECT_TRUE(TTProbe(*e, t));
}

TEST(TransTable, MoveThatNoLongerFitsIsAMiss) {
    auto e = NewTestEngine();
    // e3-e4 from an empty square: a different position with the same key.
    TTStore(*e, MakeMoveValue(63, 64), 4, 50, ExactScore);
    TTEntry t{};
    EXPECT_FALSE(TTProbe(*e, t));
    EXPECT_EQ(t.from, 0);
    // Capturing one's own piece, and capturing the enemy king, do not fit either.
    ClearTables(*e);
    TTStore(*e, MakeMoveValue(51, 61), 4, 50, ExactScore);
    EXPECT_FALSE(TTProbe(*e, t));
    SetFen(*e, "4k3/8/8/8/8/8/8/3R1K2 w - -");
    TTStore(*e, MakeMoveValue(51, 68), 4, 50, ExactScore);
    EXPECT_FALSE(TTProbe(*e, t));
    // With Black to move a Black piece must move.
    SetFen(*e, "4k3/8/8/8/8/8/8/3R1K2 b - -");
    TTStore(*e, MakeMoveValue(51, 52), 4, 50, ExactScore);
    EXPECT_FALSE(TTProbe(*e, t));
    ClearTables(*e);
    TTStore(*e, MakeMoveValue(68, 58), 4, 50, ExactScore);
    EXPECT_TRUE(TTProbe(*e, t));
}

TEST(TransTable, SameDepthReplacementRules) {
    auto e = NewTestEngine();
    // Lower bounds: a higher or equal score replaces, a lower one does not.
    TTStore(*e, E2E4, 4, 100, LowerBound);
    TTStore(*e, D2D4, 4, 99, LowerBound);
    EXPECT_EQ(Found(*e).score, 100);
    TTStore(*e, D2D4, 4, 100, LowerBound);
    EXPECT_EQ(Found(*e).from, 52);
    // Upper bounds: a lower or equal score replaces.
    ClearTables(*e);
    TTStore(*e, E2E4, 4, 100, UpperBound);
    TTStore(*e, D2D4, 4, 101, UpperBound);
    EXPECT_EQ(Found(*e).score, 100);
    TTStore(*e, D2D4, 4, 90, UpperBound);
    EXPECT_EQ(Found(*e).score, 90);
    // A bound of another kind replaces a bound.
    TTStore(*e, G1F3, 4, 500, LowerBound);
    EXPECT_EQ(Found(*e).type, LowerBound);
    // An exact entry is never replaced at the same depth.
    TTStore(*e, E2E4, 4, 0, ExactScore);
    TTStore(*e, D2D4, 4, 1, ExactScore);
    TTStore(*e, D2D4, 4, 9999, LowerBound);
    TTEntry t = Found(*e);
    EXPECT_EQ(t.type, ExactScore);
    EXPECT_EQ(t.score, 0);
}

TEST(TransTable, DepthDecides) {
    auto e = NewTestEngine();
    TTStore(*e, E2E4, 6, 100, UpperBound);
    TTStore(*e, D2D4, 5, 200, ExactScore);  // shallower: ignored
    EXPECT_EQ(Found(*e).depth, 6);
    TTStore(*e, D2D4, 7, 200, UpperBound);  // deeper: replaces
    TTEntry t = Found(*e);
    EXPECT_EQ(t.depth, 7);
    EXPECT_EQ(t.from, 52);
}

TEST(TransTable, NullMoveMarkerKeepsTheMoveOfTheSamePosition) {
    auto e = NewTestEngine();
    TTStore(*e, E2E4, 3, 100, UpperBound);
    TTStore(*e, MakeMoveValue(NullMoveBestMarker, 0), 5, 800, LowerBound);
    TTEntry t = Found(*e);
    EXPECT_EQ(t.from, 62);
    EXPECT_EQ(t.to, 64);
    EXPECT_EQ(t.depth, 5);
    EXPECT_EQ(t.score, 800);
    // Alone, the marker is a valid entry without a move, whatever the board holds.
    UseKey(*e, 0xABCDEF0000001111ull);
    TTStore(*e, MakeMoveValue(NullMoveBestMarker, 0), 5, 800, LowerBound);
    EXPECT_EQ(Found(*e).from, NullMoveBestMarker);
}

// Fills the bucket of home slot 7 with four other positions of the given stamps and depths.
void FillBucket(Engine& e, const int stamps[4], const int depths[4]) {
    for (int k = 0; k < 4; k++) {
        UseKey(e, (uint64_t(k + 1) << 40) | 7);
        e.pos.searchPly = stamps[k] - e.pos.gamePly;
        TTStore(e, E2E4, depths[k], k, UpperBound);
    }
    e.pos.searchPly = 0;
}

// Returns the bucket slot (0..3 from home 7) that holds the key, or -1.
int SlotOf(Engine& e, uint64_t key) {
    for (int k = 0; k < 4; k++) {
        const TTEntry t = ReadSlot(e.search.ttBase[(7 + k) & e.search.ttMask]);
        if (t.keyLow == uint32_t(key) && t.keyHigh == uint32_t(key >> 32))
            return k;
    }
    return -1;
}

TEST(TransTable, BucketUsesFreeSlotsFirst) {
    auto e = NewTestEngine();
    e->pos.gamePly = 10;
    int stamps[4] = {20, 20, 20, 20};
    int depths[4] = {1, 2, 3, 4};
    FillBucket(*e, stamps, depths);
    for (int k = 0; k < 4; k++)
        EXPECT_EQ(SlotOf(*e, (uint64_t(k + 1) << 40) | 7), k);
}

TEST(TransTable, FullBucketReplacementByStampThenDepth) {
    auto e = NewTestEngine();
    e->pos.gamePly = 10;
    const uint64_t newKey = (uint64_t(9) << 40) | 7;
    // Stamps between gamePly and the new stamp 15 protect; the shallowest goes.
    int stamps[4] = {12, 13, 14, 12};
    int depths[4] = {5, 2, 2, 6};
    FillBucket(*e, stamps, depths);
    e->pos.hashKey = newKey;
    e->pos.searchPly = 5;
    TTStore(*e, D2D4, 9, 0, ExactScore);
    EXPECT_EQ(SlotOf(*e, newKey), 1);

    // A slot stored at this or a later ply is taken at once, first in bucket order.
    ClearTables(*e);
    int later[4] = {12, 16, 15, 12};
    FillBucket(*e, later, depths);
    e->pos.hashKey = newKey;
    e->pos.searchPly = 5;
    TTStore(*e, D2D4, 0, 0, ExactScore);
    EXPECT_EQ(SlotOf(*e, newKey), 1);

    // So is a slot left from an earlier search (stamp at most gamePly).
    ClearTables(*e);
    int older[4] = {12, 13, 10, 12};
    FillBucket(*e, older, depths);
    e->pos.hashKey = newKey;
    e->pos.searchPly = 5;
    TTStore(*e, D2D4, 0, 0, ExactScore);
    EXPECT_EQ(SlotOf(*e, newKey), 2);
}

TEST(TransTable, BucketWrapsAtTheEndOfTheTable) {
    auto e = NewTestEngine();
    uint32_t last = e->search.ttMask;
    for (int k = 0; k < 4; k++) {
        e->pos.hashKey = (uint64_t(k + 1) << 40) | last;
        TTStore(*e, E2E4, 1, k, UpperBound);
    }
    EXPECT_EQ(ReadSlot(e->search.ttBase[last]).score, 0);
    for (int k = 1; k < 4; k++)
        EXPECT_EQ(ReadSlot(e->search.ttBase[k - 1]).score, k);
    e->pos.hashKey = (uint64_t(4) << 40) | last;
    EXPECT_EQ(Found(*e).score, 3);
}

TEST(TransTable, ClearTablesEmptiesTableKillersAndHistory) {
    auto e = NewTestEngine();
    TTStore(*e, E2E4, 3, 100, ExactScore);
    e->pos.plyStack[5].killerMove[1] = KillerMove{62, 64, 0};
    e->pos.plyStack[511].killerHits[0] = 4;
    HistoryCounter(e->search, 1, 62, 64) = 9;
    ClearTables(*e);
    TTEntry t{};
    EXPECT_FALSE(TTProbe(*e, t));
    EXPECT_EQ(e->pos.plyStack[5].killerMove[1].from, 0);
    EXPECT_EQ(e->pos.plyStack[511].killerHits[0], 0);
    EXPECT_EQ(HistoryCounter(e->search, 1, 62, 64), 0u);
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool SanitizerReservesMemory = true;  // sanitizers need far more address space
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool SanitizerReservesMemory = true;
#else
constexpr bool SanitizerReservesMemory = false;
#endif
#else
constexpr bool SanitizerReservesMemory = false;
#endif

TEST(TransTable, TooLargeForMemoryFallsBackToASmallerTable) {
    if (SanitizerReservesMemory)
        GTEST_SKIP() << "address-space limits do not work under a sanitizer";
    int status = -1;
    std::string out = RunCommand("ulimit -v 150000 && echo quit | " + EngineBinary() + " -hash 256",
                                 &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out.rfind("Hash table of 256 MB cannot be allocated, using 128 MB\n", 0), 0u) << out;
}

}  // namespace
