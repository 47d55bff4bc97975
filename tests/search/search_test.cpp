// The search as a whole: mates, draws, limits, reproducibility and bounds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/makemove.h"
#include "board/movegen.h"
#include "notation/movetext.h"
#include "search/alphabeta.h"
#include "search/driver.h"
#include "search/scoretext.h"
#include "search/searchclock.h"
#include "search/tables.h"
#include "search/transtable.h"
#include "support.h"

namespace {

// An engine that searches every position instead of playing book moves.
std::unique_ptr<Engine> NewSearchEngine() {
    auto e = NewTestEngine();
    e->book.useBook = 0;
    return e;
}

// Runs a fixed-depth search quietly and returns the move in coordinate notation.
std::string SearchTo(Engine& e, int depth) {
    e.search.searchDepth = depth;
    e.shell.post = 0;
    Move m = IterativeDeepening(e);
    EXPECT_EQ(e.search.searchDepth, depth);
    EXPECT_EQ(CheckPosition(e.pos), "");
    EXPECT_EQ(e.pos.searchPly, 0);
    EXPECT_EQ(e.pos.currentPly, e.pos.rootPly);
    return MoveFrom(m) ? MoveToCoordinate(m) : "none";
}

struct MateCase {
    const char* fen;
    int depth;
    const char* move;
    const char* text;
};

TEST(Search, FindsMatesForEitherSide) {
    const MateCase cases[] = {
        {"6k1/5ppp/8/8/8/8/8/R5K1 w - -", 3, "a1a8", "White mates in 1"},
        {"r5k1/8/8/8/8/8/5PPP/6K1 b - -", 3, "a8a1", "Black mates in 1"},
        {"k7/8/2K5/8/8/8/8/7R w - -", 4, "c6b6", "White mates in 2"},
        {"7r/8/8/8/8/2k5/8/K7 b - -", 4, "c3b3", "Black mates in 2"},
        {"1k6/8/8/2K5/8/8/8/7R w - -", 6, "", "White mates in 3"},
        {"7r/8/8/8/2k5/8/8/1K6 b - -", 6, "", "Black mates in 3"},
        {"8/8/8/8/1k6/8/8/2R3RK w - -", 8, "", "White mates in 4"},
        {"2r3rk/8/8/1K6/8/8/8/8 b - -", 8, "", "Black mates in 4"},
    };
    for (const MateCase& c : cases) {
        auto e = NewSearchEngine();
        SetFen(*e, c.fen);
        std::string move = SearchTo(*e, c.depth);
        if (*c.move) {
            EXPECT_EQ(move, c.move) << c.fen;
        }
        EXPECT_STREQ(ScoreText(*e), c.text) << c.fen;
    }
}

TEST(Search, NullMovesDoNotStretchMates) {
    // A pass adds its reduction to searchPly; a mate found below it still counts the pass as
    // one ply, so these mates in two are not taken for mates in three.
    const MateCase cases[] = {
        {"8/Np4K1/kB1p4/3N4/pb6/2p4B/3n4/8 w - -", 5, "h3d7", "White mates in 2"},
        {"1n4R1/1P2R2K/2p4p/1P2pk1N/1rp1p1p1/4p3/2npb3/2q5 w - -", 5, "h7h6", "White mates in 2"},
    };
    for (const MateCase& c : cases) {
        auto e = NewSearchEngine();
        SetFen(*e, c.fen);
        EXPECT_EQ(SearchTo(*e, c.depth), c.move) << c.fen;
        EXPECT_STREQ(ScoreText(*e), c.text) << c.fen;
        EXPECT_EQ(e->search.nullMoveExtraPlies, 0);
    }
}

TEST(Search, MateInOneEndsTheSearchAtTheRoot) {
    auto e = NewSearchEngine();
    SetFen(*e, "6k1/5ppp/8/8/8/8/8/R5K1 w - -");
    SearchTo(*e, 10);
    EXPECT_EQ(e->search.lastScore, 999999);
    EXPECT_EQ(e->search.iterationsDone, 0);
    EXPECT_EQ(e->search.lastStartedDepth, 1);
}

TEST(Search, NoLegalMoveGivesNoMove) {
    auto e = NewSearchEngine();
    SetFen(*e, "7k/5Q2/6K1/8/8/8/8/8 b - -");  // stalemate
    EXPECT_EQ(SearchTo(*e, 5), "none");
    SetFen(*e, "R6k/8/6K1/8/8/8/8/8 b - -");   // checkmate
    EXPECT_EQ(SearchTo(*e, 5), "none");
}

TEST(Search, StalemateScoresZeroDespiteMaterial) {
    auto e = NewSearchEngine();
    SetFen(*e, "7k/5Q2/6K1/8/8/8/8/8 b - -");
    e->search.searchDepth = 3;
    EXPECT_EQ(AlphaBeta(*e, -2000000000, 2000000000), 0);
    // White to move avoids the stalemating Qf7 and mates instead.
    SetFen(*e, "7k/8/6K1/8/8/8/8/5Q2 w - -");
    SearchTo(*e, 3);
    EXPECT_STREQ(ScoreText(*e), "White mates in 1");
}

TEST(Search, RepetitionOfAGamePositionScoresZero) {
    auto e = NewSearchEngine();
    // Nf3 Nf6 Ng1 Ng8 as game moves: the start position stands again.
    for (Move m : {MakeMoveValue(81, 73), MakeMoveValue(88, 76), MakeMoveValue(73, 81),
                   MakeMoveValue(76, 88)}) {
        MakeMove(e->pos, m);
        e->pos.gamePly++;
        e->pos.rootPly = e->pos.lastGamePly = e->pos.currentPly;
        ASSERT_EQ(CheckPosition(e->pos), "");
    }
    e->search.searchDepth = 2;
    EXPECT_EQ(AlphaBeta(*e, -2000000000, 2000000000), 0);
}

TEST(Search, DeadDrawIsSearchedAsZero) {
    auto e = NewSearchEngine();
    SetFen(*e, "8/8/4k3/8/8/2B5/8/4K1b1 w - -");  // bishops on the same colour
    SearchTo(*e, 6);
    EXPECT_EQ(e->search.lastScore, 0);
}

TEST(Search, FixedDepthIsReproducible) {
    const char* fens[] = {
        "r2qkbnr/1pp3pp/p1p2p2/4p3/3PP1b1/5N2/PPP2PPP/RNBQ1RK1 w kq -",
        "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -",
    };
    for (const char* fen : fens) {
        auto e = NewSearchEngine();
        SetFen(*e, fen);
        std::string first = SearchTo(*e, 5);
        int64_t nodes = e->pos.nodeCount;
        int score = e->search.lastScore;
        ClearTables(*e);
        std::string second = SearchTo(*e, 5);
        EXPECT_EQ(first, second) << fen;
        EXPECT_EQ(nodes, e->pos.nodeCount) << fen;
        EXPECT_EQ(score, e->search.lastScore) << fen;
        // A fresh engine gives the same again.
        auto f = NewSearchEngine();
        SetFen(*f, fen);
        SearchTo(*f, 5);
        EXPECT_EQ(nodes, f->pos.nodeCount) << fen;
    }
}

TEST(Search, WithoutATableStillSearches) {
    auto e = NewSearchEngine();
    SetHashSize(*e, 0);
    SetFen(*e, "k7/8/2K5/8/8/8/8/7R w - -");
    EXPECT_EQ(SearchTo(*e, 4), "c6b6");
    EXPECT_STREQ(ScoreText(*e), "White mates in 2");
    EXPECT_EQ(e->search.stats.hashHits, 0);
}

TEST(Search, NodeLimitStopsTheSearchWithItsBestMove) {
    auto e = NewSearchEngine();
    e->search.maxNodes = 5000;
    std::string move = SearchTo(*e, 30);
    EXPECT_NE(move, "none");
    EXPECT_LT(e->pos.nodeCount, 5000 + 4096);
    EXPECT_TRUE(e->search.abortSearch);
    // The move is a legal one of the start position.
    Move m = ParseMove(*e, move.c_str());
    EXPECT_NE(MoveFrom(m), 0);
}

TEST(Search, StopRequestUnwindsAtTheFirstCheck) {
    auto e = NewSearchEngine();
    e->search.searchState = StopRequested;
    std::string move = SearchTo(*e, 30);
    EXPECT_NE(move, "none");
    EXPECT_LE(e->pos.nodeCount, 2048 + 512);
    e->search.searchState = Idle;
}

TEST(Search, LongChecksStayInsideThePlyLimit) {
    // Queens on both sides can check for a long time; extensions keep effectivePly down.
    const char* fens[] = {
        "3qk3/8/8/8/8/8/8/3QK3 w - -",
        "6k1/5q2/8/8/8/8/1Q6/K7 w - -",
        "1k6/8/8/8/8/8/q7/1K5Q w - -",
    };
    for (const char* fen : fens) {
        auto e = NewSearchEngine();
        SetFen(*e, fen);
        SearchTo(*e, 9);
        EXPECT_LE(e->search.stats.deepestPly, 62) << fen;
        EXPECT_GT(e->search.stats.checkExtensions, 0) << fen;
    }
}

TEST(Search, NodeAtThePlyLimitIsALeaf) {
    auto e = NewSearchEngine();
    SetFen(*e, "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -");
    e->search.searchDepth = 5;
    e->search.searchStartTime = NowMilliseconds();  // the time check measures from here
    e->pos.searchPly = 62;
    e->search.pv[62][62].from = 99;
    int eval = AlphaBeta(*e, -2000000000, 2000000000);
    EXPECT_EQ(e->pos.nodeCount, 0);
    EXPECT_EQ(e->search.pv[62][62].from, 0);
    EXPECT_EQ(e->search.stats.evaluations, 1);
    // One ply above it the children are leaves and the PV still fits its row.
    e->pos.searchPly = 61;
    int score = AlphaBeta(*e, -2000000000, 2000000000);
    EXPECT_EQ(e->pos.nodeCount, e->pos.currentPly->moveCount);
    EXPECT_NE(e->search.pv[61][61].from, 0);
    EXPECT_EQ(e->search.pv[61][62].from, 0);
    EXPECT_EQ(e->search.stats.deepestPly, 62);
    EXPECT_NE(score, -2000000000);
    (void)eval;
    e->pos.searchPly = 0;
    EXPECT_EQ(CheckPosition(e->pos), "");
}

TEST(Search, FullPlyStackStillAnswers) {
    auto e = NewSearchEngine();
    // 508 game moves of knight shuffles leave no room for a search below them.
    const Move dance[4] = {MakeMoveValue(81, 73), MakeMoveValue(88, 76), MakeMoveValue(73, 81),
                           MakeMoveValue(76, 88)};
    for (int k = 0; k < 508; k++) {
        MakeMove(e->pos, dance[k % 4]);
        e->pos.gamePly++;
        e->pos.searchPly = 0;
        e->pos.rootPly = e->pos.lastGamePly = e->pos.currentPly;
    }
    ASSERT_EQ(CheckPosition(e->pos), "");
    for (int depth : {1, 4}) {
        std::string move = SearchTo(*e, depth);
        EXPECT_NE(move, "none");
    }
    e->pos.searchPly = 0;
}

TEST(Search, DepthSettingIsClamped) {
    auto e = NewSearchEngine();
    SetFen(*e, "6k1/5ppp/8/8/8/8/8/R5K1 w - -");
    e->search.searchDepth = 0;
    e->shell.post = 0;
    IterativeDeepening(*e);
    EXPECT_EQ(e->search.lastStartedDepth, 1);
    EXPECT_EQ(e->search.searchDepth, 0);  // the caller's setting is given back
}

// Plays a searched move as a game move.
void PlayGameMove(Engine& e, Move m) {
    MakeMove(e.pos, m);
    e.pos.gamePly++;
    e.pos.rootPly = e.pos.lastGamePly = e.pos.currentPly;
    ASSERT_EQ(CheckPosition(e.pos), "");
}

// Plays Black's lost ending for eight plies and returns the resign flags of Black's searches;
// with boundary set, the score of Black's second search is made exactly -6000.
std::vector<int> ResignFlags(bool boundary) {
    auto e = NewSearchEngine();
    SetFen(*e, "4k3/8/8/8/8/8/8/Q3K3 b - -");  // Black a queen down
    e->shell.post = 0;
    std::vector<int> flags;
    for (int ply = 0; ply <= 8; ply++) {
        PlyRecord* root = e->pos.currentPly;
        if (boundary && ply == 8)
            (root - 6)->bestScore = -6000;
        e->search.searchDepth = 2;
        Move m = IterativeDeepening(*e);
        EXPECT_NE(MoveFrom(m), 0);
        if (ply % 2 == 0) {
            EXPECT_LT(root->bestScore, -6000) << ply;
            flags.push_back(e->search.resignFlag);
        }
        PlayGameMove(*e, m);
    }
    return flags;
}

TEST(Search, ResignAfterFourLostSearches) {
    // Only the fifth search has own scores 2, 4 and 6 plies back (more than six records).
    EXPECT_EQ(ResignFlags(false), (std::vector<int>{0, 0, 0, 0, 1}));
    EXPECT_EQ(ResignFlags(true), (std::vector<int>{0, 0, 0, 0, 0}));
}

// The root score of the last search as plies to the side to move's mate, or 0 when the
// score is no mate for it.
int MatePlies(const Engine& e) {
    int score = e.search.lastScore;
    return score > 999900 ? 1000000 - score : 0;
}

struct MateLine {
    const char* fen;
    int moves;          // the side to move mates in this many moves
    const char* first;  // the mating side's first move and the defence to it, after which
    const char* reply;  // it mates in one move less
};

TEST(Search, MateDistanceHoldsWhenTheTableIsReused) {
    // Mates in 2 to 5 for either side, each searched twice; then the first move and its
    // defence are played as game moves and the mate in one move less (1 to 4) is searched
    // twice, so that every search after the first reads the entries of the ones before it,
    // the later ones at other plies than they were stored at.
    const MateLine lines[] = {
        {"7k/7P/7Q/1p6/1P4p1/8/8/K7 w - -", 2, "h6g6", "g4g3"},
        {"8/8/8/5N2/p2p4/KB1B4/8/k7 w - -", 2, "f5d4", "a4b3"},
        {"7r/8/8/8/8/2k5/8/K7 b - -", 2, "c3b3", "a1b1"},
        {"1r5k/4NP1b/7K/8/6R1/8/8/8 w - -", 3, "g4g8", "b8g8"},
        {"2q5/4B2p/7n/4p1pk/P2n1b2/R3P2P/2r3P1/1Q3R1K b - -", 3, "c8h3", "g2h3"},
        {"1k6/8/8/2K5/8/8/8/7R w - -", 3, "c5b6", "b8c8"},
        {"8/8/8/8/1k6/8/8/2R3RK w - -", 4, "g1g8", "b4b3"},
        {"2r3rk/8/1K6/8/8/8/8/8 b - -", 4, "c8c2", "b6b7"},
        {"8/8/8/8/8/8/3k4/RR5K w - -", 5, "a1a3", "d2c2"},
    };
    for (const MateLine& line : lines) {
        auto e = NewSearchEngine();
        SetFen(*e, line.fen);
        for (int run = 0; run < 2; run++) {
            SearchTo(*e, 2 * line.moves);
            EXPECT_EQ(MatePlies(*e), 2 * line.moves - 1) << line.fen << " search " << run + 1;
        }
        for (const char* text : {line.first, line.reply}) {
            Move m = ParseMove(*e, text);
            ASSERT_NE(MoveFrom(m), 0) << line.fen << " " << text;
            PlayGameMove(*e, m);
        }
        for (int run = 0; run < 2; run++) {
            SearchTo(*e, 2 * line.moves - 2);
            EXPECT_EQ(MatePlies(*e), 2 * line.moves - 3)
                << line.fen << " after " << line.first << " " << line.reply << ", search "
                << run + 1;
        }
    }
}

TEST(Search, PredictMoveUsesTheTable) {
    auto e = NewSearchEngine();
    SearchTo(*e, 4);
    Move reply = PredictMove(*e);
    EXPECT_NE(MoveFrom(reply), 0);
    EXPECT_EQ(CheckPosition(e->pos), "");
}

}  // namespace
