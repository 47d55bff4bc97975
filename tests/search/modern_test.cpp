// The Modern search: mates at their true distance, draws, limits, reproducibility, the
// shared root features (threads, several lines) and the Classic search left as it was.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "board/movegen.h"
#include "notation/movetext.h"
#include "search/driver.h"
#include "search/modern.h"
#include "search/scoretext.h"
#include "search/searchclock.h"
#include "search/tables.h"
#include "search/threads.h"
#include "support.h"

namespace {

const char* const middlegame = "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP2BPPP/R2QKB1R w KQ - 0 9";

// An engine set to the Modern search that searches every position instead of playing book
// moves, reporting nothing.
std::unique_ptr<Engine> NewModernEngine() {
    auto e = NewTestEngine();
    e->book.useBook = 0;
    e->search.report = nullptr;
    e->search.searchKind = SearchKind::Modern;
    return e;
}

// Runs a fixed-depth search and returns the move in coordinate notation, after checking
// that the engine is back at its root, unharmed.
std::string SearchTo(Engine& e, int depth) {
    e.search.searchDepth = depth;
    Move m = IterativeDeepening(e);
    EXPECT_EQ(e.search.searchDepth, depth);
    EXPECT_EQ(CheckPosition(e.pos), "");
    EXPECT_EQ(e.pos.searchPly, 0);
    EXPECT_EQ(e.pos.currentPly, e.pos.rootPly);
    EXPECT_EQ(e.search.nullMoveExtraPlies, 0);
    EXPECT_EQ(e.search.modernNoNullMove, 0);
    return MoveFrom(m) ? MoveToCoordinate(m) : "none";
}

struct MateCase {
    const char* fen;
    int depth;        // a depth that finds the mate: reductions may delay it past 2N-1
    const char* move;  // "" where several moves mate as fast
    const char* text;
};

TEST(ModernSearch, FindsTheShortestMateForEitherSideAndKeepsIt) {
    const MateCase cases[] = {
        {"6k1/5ppp/8/8/8/8/8/R5K1 w - -", 1, "a1a8", "White mates in 1"},
        {"r5k1/8/8/8/8/8/5PPP/6K1 b - -", 1, "a8a1", "Black mates in 1"},
        {"k7/8/2K5/8/8/8/8/7R w - -", 3, "c6b6", "White mates in 2"},
        {"7r/8/8/8/8/2k5/8/K7 b - -", 3, "c3b3", "Black mates in 2"},
        {"1k6/8/8/2K5/8/8/8/7R w - -", 5, "", "White mates in 3"},
        {"7r/8/8/8/2k5/8/8/1K6 b - -", 5, "", "Black mates in 3"},
        {"8/8/8/8/1k6/8/8/2R3RK w - -", 9, "", "White mates in 4"},
        {"2r3rk/8/8/1K6/8/8/8/8 b - -", 9, "", "Black mates in 4"},
        // Checks everywhere: a longer mate by checks must not displace the short one.
        {"5BQ1/2N4p/6bP/5Pk1/Qp6/1K2NBb1/2pR2R1/2B5 w - -", 3, "a4b4", "White mates in 2"},
    };
    for (const MateCase& c : cases) {
        for (int extra : {0, 4}) {
            auto e = NewModernEngine();
            SetFen(*e, c.fen);
            std::string move = SearchTo(*e, c.depth + extra);
            if (*c.move) {
                EXPECT_EQ(move, c.move) << c.fen << " depth " << c.depth + extra;
            }
            EXPECT_STREQ(ScoreText(*e), c.text) << c.fen << " depth " << c.depth + extra;
        }
    }
}

TEST(ModernSearch, StalemateAndDeadDrawsScoreZero) {
    auto e = NewModernEngine();
    SetFen(*e, "8/8/4k3/8/8/2B5/8/4K1b1 w - -");  // bishops on the same colour
    SearchTo(*e, 8);
    EXPECT_EQ(e->search.lastScore, 0);
    // The queen must not take the last move away: Qb6 and Qc7 stalemate at once.
    SetFen(*e, "k7/8/1K6/8/8/8/8/2Q5 w - -");
    std::string move = SearchTo(*e, 6);
    EXPECT_NE(move, "c1c7");
    EXPECT_STREQ(ScoreText(*e), "White mates in 1");
}

TEST(ModernSearch, FixedDepthIsReproducible) {
    auto e = NewModernEngine();
    SetFen(*e, middlegame);
    std::string first = SearchTo(*e, 9);
    const int64_t nodes = e->pos.nodeCount;
    const int score = e->search.lastScore;
    ClearTables(*e);
    EXPECT_EQ(SearchTo(*e, 9), first);
    EXPECT_EQ(e->pos.nodeCount, nodes);
    EXPECT_EQ(e->search.lastScore, score);
    auto f = NewModernEngine();
    SetFen(*f, middlegame);
    SearchTo(*f, 9);
    EXPECT_EQ(f->pos.nodeCount, nodes);
}

TEST(ModernSearch, SearchesDeeperThanClassicInFewerNodes) {
    // The point of the reductions and pruning: the same depth for a fraction of the tree.
    auto modern = NewModernEngine();
    auto classic = NewModernEngine();
    classic->search.searchKind = SearchKind::Classic;
    SetFen(*modern, middlegame);
    SetFen(*classic, middlegame);
    SearchTo(*modern, 8);
    SearchTo(*classic, 8);
    EXPECT_LT(modern->pos.nodeCount * 4, classic->pos.nodeCount);
}

TEST(ModernSearch, LongChecksStayInsideThePlyLimit) {
    const char* fens[] = {
        "3qk3/8/8/8/8/8/8/3QK3 w - -",
        "6k1/5q2/8/8/8/8/1Q6/K7 w - -",
        "1k6/8/8/8/8/8/q7/1K5Q w - -",
    };
    for (const char* fen : fens) {
        auto e = NewModernEngine();
        SetFen(*e, fen);
        SearchTo(*e, 12);
        EXPECT_LE(e->search.stats.deepestPly, 62) << fen;
    }
}

TEST(ModernSearch, LimitsStopItWithALegalMove) {
    auto e = NewModernEngine();
    SetFen(*e, middlegame);
    e->search.maxNodes = 20000;
    Move m = ParseMove(*e, SearchTo(*e, 60).c_str());
    EXPECT_TRUE(IsLegal(*e, m));
    EXPECT_TRUE(e->search.abortSearch);
    EXPECT_LT(e->pos.nodeCount, 20000 + 4096);

    auto f = NewModernEngine();
    f->search.searchState = StopRequested;
    m = ParseMove(*f, SearchTo(*f, 60).c_str());
    EXPECT_TRUE(IsLegal(*f, m));
    EXPECT_LE(f->pos.nodeCount, 2048 + 512);
    f->search.searchState = Idle;
}

TEST(ModernSearch, SavesTimeOnAClockButSpendsAFixedMoveTimeWhole) {
    // Past half of a clock's budget, another iteration would rarely finish and the time
    // saved carries over; a fixed time a move (its panic ceiling is the budget) has nothing
    // to save, and a late root move may still take over.
    auto e = NewModernEngine();
    SearchData& s = e->search;
    s.searchState = Thinking;
    s.iterationsDone = 10;
    s.lastScore = 0;
    s.maxTime = 1000;
    s.searchStartTime = NowMilliseconds() - 600;
    s.panicCeiling = 5000;
    EXPECT_TRUE(ModernIterationsEnough(*e, 0));
    EXPECT_FALSE(ModernIterationsEnough(*e, 300)) << "the score just fell";
    s.panicCeiling = 1000;
    EXPECT_FALSE(ModernIterationsEnough(*e, 0)) << "go movetime, st";
    s.panicCeiling = -1;
    EXPECT_FALSE(ModernIterationsEnough(*e, 0)) << "a budget not from a clock";
    s.searchState = Idle;
}

TEST(ModernSearch, PlaysALegalMoveInEveryTestPosition) {
    PositionChecksOff quick;
    for (const std::string& fen : ReadEpdFens(TestDataPath("positions.epd"))) {
        auto e = NewModernEngine();
        SetFen(*e, fen);
        GenerateMoves(e->pos);
        if (e->pos.currentPly->moveCount == 0)
            continue;
        Move m = ParseMove(*e, SearchTo(*e, 7).c_str());
        EXPECT_TRUE(IsLegal(*e, m)) << fen;
    }
}

TEST(ModernSearch, WorksWithHelperThreadsAndSeveralLines) {
    auto e = NewModernEngine();
    SetSearchThreads(*e, 2);
    SetFen(*e, middlegame);
    EXPECT_TRUE(IsLegal(*e, ParseMove(*e, SearchTo(*e, 8).c_str())));

    auto f = NewModernEngine();
    SetFen(*f, middlegame);
    f->search.multiPv = 3;
    const Move best = ParseMove(*f, SearchTo(*f, 7).c_str());
    std::set<Move> firsts;
    for (int k = 0; k < 3; k++) {
        firsts.insert(EntryMove(f->search.pvLines[k].moves[0]));
        if (k > 0) {
            EXPECT_LE(f->search.pvLines[k].score, f->search.pvLines[k - 1].score);
        }
    }
    EXPECT_EQ(firsts.size(), 3u);
    EXPECT_EQ(EntryMove(f->search.pvLines[0].moves[0]), best);
}

TEST(ModernSearch, ClassicStaysTheDefaultAndUnchanged) {
    auto e = NewTestEngine();
    EXPECT_EQ(e->search.searchKind, SearchKind::Classic);
    // Choosing Modern and back leaves the Classic search as it was.
    auto a = NewTestEngine();
    auto b = NewTestEngine();
    a->book.useBook = b->book.useBook = 0;
    a->search.report = b->search.report = nullptr;
    SetFen(*a, middlegame);
    SetFen(*b, middlegame);
    b->search.searchKind = SearchKind::Modern;
    SearchTo(*b, 4);
    b->search.searchKind = SearchKind::Classic;
    ClearTables(*b);
    EXPECT_EQ(SearchTo(*a, 5), SearchTo(*b, 5));
    EXPECT_EQ(a->pos.nodeCount, b->pos.nodeCount);
}

}  // namespace
