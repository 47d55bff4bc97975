// Attack maps, pins, mobility and the square queries built on them.
#include <gtest/gtest.h>

#include "board/attacks.h"
#include "board/geometry.h"
#include "board/reference.h"
#include "support.h"

TEST(Attacks, RayStopsAtTheFirstPieceAndRecordsThePin) {
    auto e = NewTestEngine();
    SetFen(*e, "k7/8/8/8/8/8/8/R6K b - - 0 1");  // the rook checks along the open file
    for (int rank = 2; rank <= 8; rank++)
        EXPECT_TRUE(e->pos.white.attacks[MakeSquare(rank, 1)] & 0x0080) << rank;
    EXPECT_EQ(e->pos.checkCount, 1);

    SetFen(*e, "k7/8/8/8/n7/8/8/R6K w - - 0 1");  // a Black knight on a4 shields the king
    const Position& p = e->pos;
    for (int rank = 2; rank <= 8; rank++)
        EXPECT_EQ((p.white.attacks[MakeSquare(rank, 1)] & 0x0080) != 0, rank <= 4) << rank;
    EXPECT_EQ(p.black.pinDir[Sq("a4")], 1);
    ASSERT_EQ(p.black.pinCount, 1);
    EXPECT_EQ(p.black.pinnedSquares[0], Sq("a4"));
    EXPECT_EQ(p.black.pinnerSquares[0], Sq("a1"));
}

TEST(Attacks, PinsAreClearedWhenTheyGo) {
    auto e = NewTestEngine();
    SetFen(*e, "k7/8/8/8/n7/8/8/R6K w - - 0 1");
    SetFen(*e, "k7/8/8/8/n7/8/8/7K w - - 0 1");
    EXPECT_EQ(e->pos.black.pinCount, 0);
    EXPECT_EQ(e->pos.black.pinDir[Sq("a4")], 0);
}

TEST(Attacks, CheckerCountAddsSlidersKnightsAndPawns) {
    auto e = NewTestEngine();
    SetFen(*e, "4r2k/8/8/8/8/3n4/8/4K3 w - - 0 1");
    EXPECT_EQ(CountCheckers(e->pos), 2);
    EXPECT_EQ(e->pos.checkCount, 2);
    SetFen(*e, "7k/8/8/8/8/8/3p4/4K3 w - - 0 1");
    EXPECT_EQ(e->pos.checkCount, 1);
    SetFen(*e, "7k/8/8/8/8/8/5p2/4K3 w - - 0 1");
    EXPECT_EQ(e->pos.checkCount, 1);
    SetFen(*e, "7k/8/8/8/8/8/4p3/4K3 w - - 0 1");  // straight ahead is no attack
    EXPECT_EQ(e->pos.checkCount, 0);
}

TEST(Attacks, ForwardBishopRayAndPawnBlockingWeights) {
    auto e = NewTestEngine();
    // Bishop c1 behind its pawn d2: b2 and a3 (48 + 32), d2 (64); minus 32 for d2 when a
    // Black piece stands on d3 and blocks the pawn.
    SetFen(*e, "7k/8/8/8/8/8/3P4/2B4K w - - 0 1");
    EXPECT_EQ(e->pos.mobilityBalance, 144);
    SetFen(*e, "7k/8/8/8/8/3n4/3P4/2B4K w - - 0 1");
    EXPECT_EQ(e->pos.mobilityBalance, 112);
    // A knight in front of the ray counts its pawn-blocking weight beyond it.
    SetFen(*e, "7k/8/8/8/8/8/3N4/2B4K w - - 0 1");
    EXPECT_EQ(e->pos.mobilityBalance, 48 + 32 + 64 + pawnBlockingWeight[Sq("e3")]);
}

TEST(Attacks, SquareQueries) {
    auto e = NewTestEngine();
    SetFen(*e, "R7/7k/8/8/8/8/8/7K b - - 0 1");
    EXPECT_NE(WhiteAttackedAlongLine(e->pos, Sq("a1"), Sq("a5")), 0);
    EXPECT_EQ(WhiteAttackedAlongLine(e->pos, Sq("a6"), Sq("a5")), 0);  // the ray heads away
    EXPECT_EQ(AttackedAlongLine(e->pos, WhiteSide, Sq("c3"), Sq("a5")), 0);
    EXPECT_TRUE(SquareAttacked(e->pos, WhiteSide, Sq("a5")));
    EXPECT_TRUE(SquareAttacked(e->pos, WhiteSide, Sq("g2")));  // king
    EXPECT_FALSE(SquareAttacked(e->pos, WhiteSide, Sq("b5")));

    // X-ray: the White rook a1 behind the Black knight a4, seen from a8.
    SetFen(*e, "k7/8/8/8/n7/8/8/R6K w - - 0 1");
    EXPECT_EQ(XrayAttacker(e->pos, WhiteSide, Sq("a8"), Sq("a4")), Sq("a1"));
    EXPECT_EQ(WhiteXrayAttacker(e->pos, Sq("a7"), Sq("a4")), Sq("a1"));
    EXPECT_EQ(BlackXrayAttacker(e->pos, Sq("a8"), Sq("a4")), 0);
    EXPECT_EQ(XrayAttacker(e->pos, WhiteSide, Sq("b8"), Sq("a4")), 0);  // not on a line
}

TEST(Attacks, SlidersAttackingASquareInKindOrder) {
    auto e = NewTestEngine();
    // d4 is attacked by the queen h8, the rook d1 and the bishop a1; the rook d8 is behind
    // the Black knight d6 and the bishop b1 is not on a line with it.
    SetFen(*e, "3R3Q/8/k2n4/8/8/8/8/BB1R3K b - - 0 1");
    SliderSet s = WhiteSlidersAttacking(e->pos, Sq("d4"));
    ASSERT_EQ(s.count, 3);
    EXPECT_EQ(s.squares[0], Sq("a1"));
    EXPECT_EQ(s.squares[1], Sq("d1"));
    EXPECT_EQ(s.squares[2], Sq("h8"));
    // Two queens: each is checked along its line.
    SetFen(*e, "7Q/8/1k6/8/8/8/8/Q6K b - - 0 1");
    s = WhiteSlidersAttacking(e->pos, Sq("d4"));
    ASSERT_EQ(s.count, 2);
    EXPECT_EQ(BlackSlidersAttacking(e->pos, Sq("d4")).count, 0);
}
