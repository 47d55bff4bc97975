// Copying a Position into another engine's storage: the copy is the same game, its own.
#include <gtest/gtest.h>

#include "board/gameline.h"
#include "board/geometry.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/positioncopy.h"
#include "board/reference.h"
#include "search/draw.h"
#include "support.h"
#include "tools/perft.h"

TEST(PositionCopy, SameGameLineInItsOwnStorage) {
    auto e = NewTestEngine();
    // A knight dance back to the start (a repetition behind the game position), a pawn
    // move, and one move taken back so that the line reaches past the current record.
    for (const char* m : {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "e2e4"})
        GameMakeMove(e->pos, Find(*e, m));
    ASSERT_EQ(GameTakeBack(e->pos, 1), 1);
    auto h = CreateHelperEngine();
    CopyPosition(h->pos, e->pos);

    const Position& p = e->pos;
    const Position& c = h->pos;
    EXPECT_EQ(CheckPosition(c), "");
    EXPECT_EQ(c.hashKey, p.hashKey);
    EXPECT_EQ(c.gamePly, p.gamePly);
    EXPECT_EQ(c.currentPly - c.plyStack, p.currentPly - p.plyStack);
    EXPECT_EQ(c.rootPly - c.plyStack, p.rootPly - p.plyStack);
    EXPECT_EQ(c.lastGamePly - c.plyStack, p.lastGamePly - p.plyStack);
    EXPECT_EQ(c.currentPly->moves - c.moveArea, p.currentPly->moves - p.moveArea);
    EXPECT_EQ(c.us, &c.white);
    EXPECT_NE(c.plyStack, p.plyStack);
    EXPECT_NE(c.moveArea, p.moveArea);
    // The repetition is seen in the copy's own records.
    EXPECT_EQ(IsDraw(*h, 1), IsDraw(*e, 1));
    EXPECT_TRUE(IsDraw(*h, 1));

    // The copy replays the taken-back move without touching the original, and counts the
    // same tree.
    const uint64_t key = p.hashKey;
    ASSERT_EQ(GameTakeBack(h->pos, -1), -1);
    EXPECT_EQ(CheckPosition(c), "");
    EXPECT_EQ(c.board[Sq("e4")], Pawn);
    EXPECT_EQ(p.board[Sq("e4")], Empty);
    EXPECT_EQ(p.hashKey, key);
    CopyPosition(h->pos, e->pos);
    EXPECT_EQ(CountNodes(*h, 3), CountNodes(*e, 3));
    EXPECT_EQ(CheckPosition(p), "");
}

TEST(PositionCopy, BlackToMoveAndAnEnPassantSquare) {
    auto e = NewTestEngine();
    SetFen(*e, "rnbqkbnr/ppp1pppp/8/8/3pP3/5N2/PPPP1PPP/RNBQKB1R b KQkq e3 0 3");
    auto h = CreateHelperEngine();
    CopyPosition(h->pos, e->pos);
    EXPECT_EQ(CheckPosition(h->pos), "");
    EXPECT_EQ(h->pos.us, &h->pos.black);
    EXPECT_EQ(h->pos.them, &h->pos.white);
    EXPECT_EQ(h->pos.epSquare, e->pos.epSquare);
    EXPECT_EQ(h->pos.currentPly->moveCount, e->pos.currentPly->moveCount);
    EXPECT_EQ(CountNodes(*h, 3), CountNodes(*e, 3));
}
