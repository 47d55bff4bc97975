// Searching with helper threads and with several root lines: the engine the helpers leave
// behind, their stop, and the lines' order.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "board/makemove.h"
#include "board/movegen.h"
#include "notation/movetext.h"
#include "search/driver.h"
#include "search/score.h"
#include "search/scoretext.h"
#include "search/threads.h"
#include "search/timecheck.h"
#include "support.h"

namespace {

// A middlegame with plenty to search.
const char* const middlegame = "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP2BPPP/R2QKB1R w KQ - 0 9";

std::unique_ptr<Engine> NewThreadedEngine(int threads) {
    auto e = NewTestEngine();
    e->book.useBook = 0;
    e->search.report = nullptr;
    SetSearchThreads(*e, threads);
    return e;
}

// Searches to depth and checks that the engine is back at its root, unharmed.
Move SearchTo(Engine& e, int depth) {
    e.search.searchDepth = depth;
    Move m = IterativeDeepening(e);
    EXPECT_EQ(CheckPosition(e.pos), "");
    EXPECT_EQ(e.pos.searchPly, 0);
    EXPECT_EQ(e.pos.currentPly, e.pos.rootPly);
    EXPECT_EQ(e.search.searchDepth, depth);
    return m;
}

TEST(ParallelSearch, ThreadCountIsClampedAndChangesBetweenSearches) {
    auto e = NewThreadedEngine(4);
    EXPECT_EQ(SearchThreadCount(*e), 4);
    SetFen(*e, middlegame);
    EXPECT_TRUE(IsLegal(*e, SearchTo(*e, 4)));
    SetSearchThreads(*e, 2);
    EXPECT_EQ(SearchThreadCount(*e), 2);
    EXPECT_TRUE(IsLegal(*e, SearchTo(*e, 4)));
    SetSearchThreads(*e, 0);
    EXPECT_EQ(SearchThreadCount(*e), 1);
    EXPECT_EQ(e->threads, nullptr);
    EXPECT_TRUE(IsLegal(*e, SearchTo(*e, 4)));
    SetSearchThreads(*e, 3);
    EXPECT_EQ(SearchThreadCount(*e), 3);
    ClearTables(*e);  // clears the helpers' own tables too, with none running
    EXPECT_TRUE(IsLegal(*e, SearchTo(*e, 4)));
}

TEST(ParallelSearch, HelpersFindTheSameMatesAndDraws) {
    for (int threads : {2, 4}) {
        auto e = NewThreadedEngine(threads);
        // Mates in two: the table the helpers share must not lengthen or lose them.
        SetFen(*e, "k7/8/2K5/8/8/8/8/7R w - -");
        EXPECT_TRUE(IsLegal(*e, SearchTo(*e, 4)));
        EXPECT_STREQ(ScoreText(*e), "White mates in 2") << threads;
        SetFen(*e, "8/Np4K1/kB1p4/3N4/pb6/2p4B/3n4/8 w - -");
        EXPECT_EQ(MoveToCoordinate(SearchTo(*e, 5)), std::string("h3d7")) << threads;
        EXPECT_STREQ(ScoreText(*e), "White mates in 2") << threads;
        // Bare kings: every thread sees the draw.
        SetFen(*e, "8/8/4k3/8/8/3K4/8/8 w - -");
        EXPECT_TRUE(IsLegal(*e, SearchTo(*e, 6)));
        EXPECT_EQ(e->search.lastScore, 0);
    }
}

TEST(ParallelSearch, NodeLimitCountsEveryThreadAndStopsTheHelpers) {
    auto e = NewThreadedEngine(2);
    SetFen(*e, middlegame);
    e->search.maxNodes = 40000;
    // Depth 30 is out of reach: the search ends on the node limit, and returns only once
    // the helper has stopped. The count it leaves is the sum over both threads. Each thread
    // may run on to its next poll, and the helper checks the main thread's count as of that
    // thread's last poll, however the two are scheduled.
    EXPECT_TRUE(IsLegal(*e, SearchTo(*e, 30)));
    EXPECT_GE(e->pos.nodeCount, 40000);
    EXPECT_LE(e->pos.nodeCount, 40000 + 4 * PollInterval);
    EXPECT_EQ(HelperNodes(*e), 0);  // added to the count: not counted twice
    // The next search starts the helper afresh.
    e->search.maxNodes = 0;
    EXPECT_TRUE(IsLegal(*e, SearchTo(*e, 5)));
    EXPECT_GT(e->search.stats.evaluations, 0);
}

// The number of moves of a line that are legal one after the other from the position; the
// position is left as it was.
int LegalLength(Engine& e, const MoveListEntry* line) {
    int made = 0;
    GenerateMoves(e.pos);
    while (line[made].from) {
        const PlyRecord* r = e.pos.currentPly;
        if (FindMoveIndex(e.pos.board, r->moves, r->moveCount, EntryMove(line[made])) < 0)
            break;
        MakeMove(e.pos, EntryMove(line[made]));
        made++;
    }
    for (int k = 0; k < made; k++)
        UnmakeMove(e.pos);
    GenerateMoves(e.pos);
    return made;
}

TEST(MultiPv, LinesAreTheBestMovesInOrderOfScore) {
    auto e = NewThreadedEngine(1);
    SetFen(*e, middlegame);
    e->search.multiPv = 4;
    const Move best = SearchTo(*e, 5);
    const PlyRecord* root = e->pos.currentPly;
    std::set<Move> firsts;
    for (int k = 0; k < 4; k++) {
        const PvLine& line = e->search.pvLines[k];
        ASSERT_NE(line.moves[0].from, 0) << k;
        if (k > 0) {
            EXPECT_LE(line.score, e->search.pvLines[k - 1].score) << k;
        }
        firsts.insert(EntryMove(line.moves[0]));
        // Whole lines, completed from the table where a cutoff ended the search's line.
        int length = 0;
        while (line.moves[length].from)
            length++;
        EXPECT_GE(length, 4) << k;
        EXPECT_EQ(LegalLength(*e, line.moves), length) << k;
    }
    EXPECT_EQ(CheckPosition(e->pos), "");
    EXPECT_EQ(firsts.size(), 4u);  // four different root moves
    EXPECT_EQ(EntryMove(e->search.pvLines[0].moves[0]), best);
    EXPECT_EQ(EntryMove(e->search.pv[0][0]), best);
    EXPECT_EQ(e->search.lastScore, e->search.pvLines[0].score);
    EXPECT_GE(root->moveCount, 4);

    // One line searches exactly as before the option existed.
    auto a = NewThreadedEngine(1);
    auto b = NewThreadedEngine(1);
    SetFen(*a, middlegame);
    SetFen(*b, middlegame);
    b->search.multiPv = 1;
    EXPECT_EQ(SearchTo(*a, 5), SearchTo(*b, 5));
    EXPECT_EQ(a->pos.nodeCount, b->pos.nodeCount);
}

TEST(MultiPv, MoreLinesThanMovesGivesEveryMoveALine) {
    auto e = NewThreadedEngine(1);
    // Four moves: two of the king, two of the pawn.
    SetFen(*e, "k7/8/8/8/8/8/7P/7K w - -");
    GenerateMoves(e->pos);
    const int moves = e->pos.currentPly->moveCount;
    ASSERT_GE(moves, 1);
    ASSERT_LT(moves, 8);
    e->search.multiPv = 8;
    EXPECT_TRUE(IsLegal(*e, SearchTo(*e, 4)));
    for (int k = 0; k < moves; k++)
        EXPECT_NE(e->search.pvLines[k].moves[0].from, 0) << k;
}

TEST(MultiPv, WorksWithHelperThreads) {
    auto e = NewThreadedEngine(2);
    SetFen(*e, middlegame);
    e->search.multiPv = 3;
    const Move best = SearchTo(*e, 5);
    EXPECT_EQ(EntryMove(e->search.pvLines[0].moves[0]), best);
    EXPECT_GE(e->search.pvLines[0].score, e->search.pvLines[1].score);
    EXPECT_GE(e->search.pvLines[1].score, e->search.pvLines[2].score);
}

}  // namespace
