// Draws by rule: stalemate, material, the fifty-move count and repetitions.
#include <gtest/gtest.h>

#include "board/geometry.h"
#include "board/makemove.h"
#include "search/draw.h"
#include "support.h"

static int Sq(const char* name) { return MakeSquare(name[1] - '0', name[0] - 'a' + 1); }

static void Play(Engine& e, const char* text) {
    int from = Sq(text), to = Sq(text + 2);
    const PlyRecord* r = e.pos.currentPly;
    for (int i = 0; i < r->moveCount; i++)
        if (r->moves[i].from == from && r->moves[i].to == to) {
            MakeMove(e.pos, EntryMove(r->moves[i]));
            ASSERT_EQ(CheckPosition(e.pos), "");
            return;
        }
    FAIL() << "not a legal move: " << text;
}

TEST(Draw, StalemateButNotMate) {
    auto e = NewTestEngine();
    SetFen(*e, "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
    EXPECT_TRUE(IsDraw(*e, 1));
    SetFen(*e, "7k/6Q1/6K1/8/8/8/8/8 b - - 0 1");  // mated: no moves, but in check
    EXPECT_FALSE(IsDraw(*e, 1));
}

TEST(Draw, InsufficientMaterial) {
    auto e = NewTestEngine();
    struct Case { const char* fen; bool draw; };
    const Case cases[] = {
        {"7k/8/8/8/8/8/8/K7 w - - 0 1", true},
        {"7k/8/8/8/8/8/8/KN6 w - - 0 1", true},
        {"7k/8/8/8/8/8/8/KB6 b - - 0 1", true},
        {"7k/6n1/8/8/8/8/8/K7 w - - 0 1", true},
        {"7k/8/8/8/8/8/8/KR6 w - - 0 1", false},
        {"7k/8/8/8/8/8/P7/K7 w - - 0 1", false},
        {"7k/6n1/8/8/8/8/8/KN6 w - - 0 1", false},     // a knight each: play on
        {"5b1k/8/8/8/8/8/8/K1B5 w - - 0 1", true},     // both bishops on dark squares
        {"6bk/8/8/8/8/8/8/K1B5 w - - 0 1", false},     // opposite colours
        {"7k/8/8/8/8/8/8/KNN5 w - - 0 1", false},
    };
    for (const Case& c : cases) {
        SetFen(*e, c.fen);
        EXPECT_EQ(IsDraw(*e, 2), c.draw) << c.fen;
    }
}

TEST(Draw, FiftyMoveCountIsReachedAt102Plies) {
    auto e = NewTestEngine();
    SetFen(*e, "7k/8/8/8/8/8/8/KR6 w - - 0 1");
    e->pos.currentPly->reversibleCount = 101;
    EXPECT_FALSE(IsDraw(*e, 1));
    e->pos.currentPly->reversibleCount = 102;
    EXPECT_TRUE(IsDraw(*e, 1));
}

TEST(Draw, RepetitionsCountedFromThePlyStack) {
    auto e = NewTestEngine();
    const char* shuffle[] = {"g1f3", "g8f6", "f3g1", "f6g8"};
    for (const char* m : shuffle)
        Play(*e, m);
    EXPECT_TRUE(IsDraw(*e, 1));   // the start position once more
    EXPECT_FALSE(IsDraw(*e, 2));
    for (const char* m : shuffle)
        Play(*e, m);
    EXPECT_TRUE(IsDraw(*e, 2));
    // A pawn move ends the history the test may look at.
    Play(*e, "e2e4");
    Play(*e, "g8f6");
    Play(*e, "g1f3");
    Play(*e, "f6g8");
    Play(*e, "f3g1");
    EXPECT_TRUE(IsDraw(*e, 1));
    EXPECT_FALSE(IsDraw(*e, 2));
}

TEST(Draw, RepetitionNeedsTheSameCastlingRights) {
    auto e = NewTestEngine();
    SetFen(*e, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    // The same squares after four plies, but White's king-side right is gone.
    const char* moves[] = {"h1h2", "e8d8", "h2h1", "d8e8"};
    for (const char* m : moves)
        Play(*e, m);
    EXPECT_EQ(e->pos.hashKey, e->pos.plyStack[0].hashKey);
    EXPECT_FALSE(IsDraw(*e, 1));
    for (const char* m : {"a1a2", "a8a7", "a2a1", "a7a8"})
        Play(*e, m);
    for (const char* m : {"a1a2", "a8a7", "a2a1", "a7a8"})
        Play(*e, m);
    EXPECT_TRUE(IsDraw(*e, 1));  // rights no longer change: a true repetition
}

TEST(Draw, RepetitionNeedsTheSameEnPassantSquare) {
    auto e = NewTestEngine();
    SetFen(*e, "4k3/5p2/8/4P3/8/8/8/4K1Nn b - - 0 1");
    Play(*e, "f7f5");  // e.p. square f6
    Play(*e, "g1f3");
    Play(*e, "h1g3");
    Play(*e, "f3g1");
    Play(*e, "g3h1");
    // Same board and side as after f7-f5, but without the en-passant capture.
    EXPECT_EQ(e->pos.hashKey, e->pos.plyStack[1].hashKey);
    EXPECT_FALSE(IsDraw(*e, 1));
}
