// Game play on the Engine: the predicted reply of pondering and replaying taken-back moves.
#include <gtest/gtest.h>

#include "board/gameline.h"
#include "support.h"

// The legal move of the current position from square text to square text, or 0.
static Move Find(const Engine& e, const char* text) {
    int from = MakeSquare(text[1] - '0', text[0] - 'a' + 1);
    int to = MakeSquare(text[3] - '0', text[2] - 'a' + 1);
    const PlyRecord* r = e.pos.currentPly;
    for (int i = 0; i < r->moveCount; i++)
        if (r->moves[i].from == from && r->moves[i].to == to)
            return EntryMove(r->moves[i]);
    return 0;
}

TEST(GameLineForPondering, ReplyThatMovesTheLineDownCanBeTakenBack) {
    auto e = NewTestEngine();
    Position& p = e->pos;
    const char* shuffle[] = {"b1c3", "b8c6", "c3b1", "c6b8"};
    // Knights shuffle until the game line is one ply short of being moved down.
    while (p.currentPly - p.plyStack < PlyStackSize - SearchReservePlies)
        GameMakeMove(e->pos, Find(*e, shuffle[(p.currentPly - p.plyStack) % 4]));
    ASSERT_EQ(p.whiteToMove, 1);
    uint64_t gameKey = p.hashKey;
    // The predicted reply is a pawn move: nothing before it counts for repetitions, yet the
    // game position below it must survive the move down.
    GameMakeMove(e->pos, Find(*e, "e2e4"));
    ASSERT_LT(p.currentPly - p.plyStack, 10);
    ASSERT_EQ(CheckPosition(e->pos), "");
    ASSERT_EQ(GameTakeBack(e->pos, 1), 1);
    EXPECT_EQ(p.hashKey, gameKey);
    EXPECT_EQ(CheckPosition(e->pos), "");
    EXPECT_EQ(p.currentPly->moveCount, 20);
}
