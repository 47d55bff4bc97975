// GivesCheck against making the move and looking, over random games and the special moves.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "board/givescheck.h"
#include "notation/epd.h"
#include "randomgames.h"

// True when the move leaves the opponent in check, found by making it.
static bool ChecksByMaking(Engine& e, Move m) {
    MakeMove(e.pos, m);
    EXPECT_EQ(CheckPosition(e.pos), "");
    bool check = e.pos.currentPly->checkCount > 0;
    UnmakeMove(e.pos);
    EXPECT_EQ(CheckPosition(e.pos), "");
    return check;
}

TEST(GivesCheck, AgreesWithMakingEveryMoveOfRandomGames) {
    auto e = NewTestEngine();
    int moves = 0, checks = 0, castlingChecks = 0, promotionChecks = 0, discovered = 0;
    ForEachRandomGamePosition(*e, 6, 80, 0xC4EC, [&](Engine& eng) {
        for (int i = 0; i < eng.pos.currentPly->moveCount; i++) {
            Move m = ListMove(eng, i);
            bool expected = ChecksByMaking(eng, m);
            ASSERT_EQ(GivesCheck(eng.pos, m), expected)
                << PositionToEpd(eng.pos) << " move " << MoveFrom(m) << "-" << MoveTo(m);
            moves++;
            if (!expected)
                continue;
            checks++;
            int piece = std::abs(eng.pos.board[MoveFrom(m)]);
            castlingChecks += piece == King && std::abs(MoveTo(m) - MoveFrom(m)) == 20;
            promotionChecks += MovePromotion(m) != 0;
            discovered += piece == King;
        }
    });
    EXPECT_GT(checks, 500);
    EXPECT_GT(promotionChecks, 10);
    EXPECT_GT(discovered, 0);
    std::printf("GivesCheck: %d moves, %d checks (%d castling, %d promotion, %d king moves)\n",
                moves, checks, castlingChecks, promotionChecks, discovered);
}

// GivesCheck of a move in a position, after confirming the move is legal there.
static bool Checks(Engine& e, const char* fen, Move m) {
    SetFen(e, fen);
    bool legal = false;
    for (int i = 0; i < e.pos.currentPly->moveCount; i++)
        legal |= ListMove(e, i) == m;
    EXPECT_TRUE(legal) << fen;
    bool answer = GivesCheck(e.pos, m);
    EXPECT_EQ(answer, ChecksByMaking(e, m)) << fen;
    return answer;
}

TEST(GivesCheck, CastlingPromotionAndDiscoveredChecks) {
    auto e = NewTestEngine();
    // Castling checks through the rook; both sides.
    EXPECT_TRUE(Checks(*e, "5k2/8/8/8/8/8/8/4K2R w K - 0 1", Mv("e1g1")));
    EXPECT_FALSE(Checks(*e, "5k2/8/8/8/5p2/8/8/4K2R w K - 0 1", Mv("e1g1")));
    EXPECT_TRUE(Checks(*e, "r3k3/8/8/8/8/8/8/3K4 b q - 0 1", Mv("e8c8")));
    // The rook on its castling square checks along the back rank past the king's old square.
    EXPECT_TRUE(Checks(*e, "8/8/8/8/8/8/8/k3K2R w K - 0 1", Mv("e1g1")));
    EXPECT_TRUE(Checks(*e, "8/8/8/8/8/8/8/R3K2k w Q - 0 1", Mv("e1c1")));

    // A knight between its rook and the enemy king checks by moving anywhere.
    SetFen(*e, "4k3/8/8/8/4N3/8/8/4R1K1 w - - 0 1");
    int knightMoves = 0;
    for (int i = 0; i < e->pos.currentPly->moveCount; i++) {
        Move m = ListMove(*e, i);
        if (MoveFrom(m) != Sq("e4"))
            continue;
        knightMoves++;
        EXPECT_TRUE(GivesCheck(e->pos, m)) << MoveTo(m);
    }
    EXPECT_EQ(knightMoves, 8);
    // A pawn advancing along the file between its rook and the king does not.
    EXPECT_FALSE(Checks(*e, "4k3/8/8/8/8/4P3/8/4R1K1 w - - 0 1", Mv("e3e4")));

    // Promotions check as the new piece, through the square the pawn left.
    const char* promotion = "r7/1P6/8/3k4/8/8/8/4K3 w - - 0 1";
    EXPECT_TRUE(Checks(*e, promotion, Mv("b7a8", Queen)));
    EXPECT_TRUE(Checks(*e, promotion, Mv("b7a8", Bishop)));
    EXPECT_FALSE(Checks(*e, promotion, Mv("b7a8", Rook)));
    EXPECT_FALSE(Checks(*e, promotion, Mv("b7a8", Knight)));
    EXPECT_TRUE(Checks(*e, "8/5P2/8/8/8/5k2/8/4K3 w - - 0 1", Mv("f7f8", Queen)));
    EXPECT_TRUE(Checks(*e, "3k4/5P2/8/8/8/8/8/4K3 w - - 0 1", Mv("f7f8", Rook)));
    EXPECT_TRUE(Checks(*e, "8/5P2/4k3/8/8/8/8/4K3 w - - 0 1", Mv("f7f8", Knight)));
    EXPECT_TRUE(Checks(*e, "4k3/8/8/8/8/8/6p1/3K4 b - - 0 1", Mv("g2g1", -Queen)));

    // En passant: removing the taken pawn opens the rank; the capturing pawn checks from the
    // line it stays on.
    EXPECT_TRUE(Checks(*e, "8/8/8/k2pP2R/8/8/8/4K3 w - d6 0 1", Mv("e5d6")));
    EXPECT_TRUE(Checks(*e, "8/2k5/8/3pP3/8/6B1/8/4K3 w - d6 0 1", Mv("e5d6")));
    EXPECT_FALSE(Checks(*e, "8/8/8/1k1pP2R/8/8/8/4K3 w - d6 0 1", Mv("e5e6")));
    EXPECT_TRUE(Checks(*e, "8/8/8/1k1pP2R/8/8/8/4K3 w - d6 0 1", Mv("e5d6")));
    EXPECT_TRUE(Checks(*e, "4k3/8/8/8/r2Pp2K/8/8/8 b - d3 0 1", Mv("e4d3")));
}
