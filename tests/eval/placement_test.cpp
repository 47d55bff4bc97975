// Piece placement terms, each isolated through the evaluation trace.
#include <gtest/gtest.h>

#include "evaltest.h"
#include "support.h"

// Sets a position and returns one term of its evaluation.
static int Term(Engine& e, const char* fen, EvalTerm term) {
    SetFen(e, fen);
    return TraceEval(e).value[term];
}

TEST(Placement, TrappedMinorPieces) {
    auto e = NewTestEngine();
    EXPECT_EQ(Term(*e, "4k3/B1p5/1p6/8/8/8/8/4K3 w - - 0 1", TermTrappedMinors), -1000);
    EXPECT_EQ(Term(*e, "4k3/B7/1p6/8/8/8/8/4K3 w - - 0 1", TermTrappedMinors), 0);
    EXPECT_EQ(Term(*e, "4k3/7N/5p2/8/8/8/8/4K3 w - - 0 1", TermTrappedMinors), -1000);
    EXPECT_EQ(Term(*e, "4k3/8/8/8/8/1P6/b1P5/4K3 w - - 0 1", TermTrappedMinors), 1000);
}

TEST(Placement, RooksOnTheOnlyOpenFile) {
    auto e = NewTestEngine();
    const char* one = "4k3/ppp1pppp/8/8/8/8/PPP1PPPP/3RK3 w - - 0 1";
    const char* two = "4k3/ppp1pppp/8/8/8/8/PPPRPPPP/3RK3 w - - 0 1";
    EXPECT_EQ(Term(*e, one, TermRooksOnFiles), 150);
    // Next to Black's king file: 50 safety points and one danger for Black's king.
    EXPECT_EQ(e->eval.blackKingDanger, 1);
    EXPECT_EQ(Term(*e, two, TermRooksOnFiles), 400);
    // Two open files: 100 per rook.
    EXPECT_EQ(Term(*e, "4k3/ppp1ppp1/8/8/8/8/PPP1PPP1/3RK3 w - - 0 1", TermRooksOnFiles), 100);
}

TEST(Placement, RooksAndOwnPawns) {
    auto e = NewTestEngine();
    // A rook above its own pawn: -30; with a pawn beside it on its rank: -180; an enemy pawn
    // just above: -70 more.
    EXPECT_EQ(Term(*e, "4k3/8/8/8/3R4/3P4/8/4K3 w - - 0 1", TermRooksOnFiles), -30);
    EXPECT_EQ(Term(*e, "4k3/8/8/8/3R1P2/3P4/8/4K3 w - - 0 1", TermRooksOnFiles), -180);
    EXPECT_EQ(Term(*e, "4k3/8/3p4/8/3R4/3P4/8/4K3 w - - 0 1", TermRooksOnFiles), -100);
    // On the eighth rank without an own pawn below: +100 (plus 100 for the open d-file).
    EXPECT_EQ(Term(*e, "3R1k2/8/8/8/8/8/8/4K3 b - - 0 1", TermRooksOnFiles), 100 + 100);
}

TEST(Placement, RooksOnTheSeventh) {
    auto e = NewTestEngine();
    EXPECT_EQ(Term(*e, "8/R7/8/8/8/3k4/8/4K3 w - - 0 1", TermRooksOnSeventh), 100);
    EXPECT_EQ(Term(*e, "8/R3k3/8/8/8/8/8/4K3 b - - 0 1", TermRooksOnSeventh), 225);
    // Three Black pawns to feed on: +100; two rooks: x 5/2.
    EXPECT_EQ(Term(*e, "8/R3k3/8/8/8/ppp5/8/4K3 b - - 0 1", TermRooksOnSeventh), 325);
    EXPECT_EQ(Term(*e, "8/RR2k3/8/8/8/8/8/4K3 b - - 0 1", TermRooksOnSeventh), 225 * 5 / 2);
}

TEST(Placement, BishopPairAndBlockedCentre) {
    auto e = NewTestEngine();
    EXPECT_EQ(Term(*e, "4k3/8/8/8/8/8/8/2B1KB2 w - - 0 1", TermBishopPair), 200);
    EXPECT_EQ(Term(*e, "4k3/8/8/2p1p3/2PPP3/8/8/2B1KB2 w - - 0 1", TermBishopPair), 100);
    EXPECT_EQ(Term(*e, "2b1kb2/8/8/8/8/8/8/2B1KB2 w - - 0 1", TermBishopPair), 0);
}

TEST(Placement, BlockedCentrePawns) {
    auto e = NewTestEngine();
    EXPECT_EQ(Term(*e, "4k3/8/8/8/8/3N4/3P4/4K3 w - - 0 1", TermBlockedCentrePawns), -125);
    EXPECT_EQ(Term(*e, "4k3/8/8/8/8/3N4/3P4/2B1K3 w - - 0 1", TermBlockedCentrePawns), -325);
    EXPECT_EQ(Term(*e, "4kb2/4p3/4n3/8/8/8/8/4K3 w - - 0 1", TermBlockedCentrePawns), 325);
}

TEST(Placement, KnightOutposts) {
    auto e = NewTestEngine();
    // d5 defended by e4, no Black pawn on c6, c7, e6 or e7: 150.
    EXPECT_EQ(Term(*e, "4k3/8/8/3N4/4P3/8/8/4K3 w - - 0 1", TermWhiteKnights), 150);
    EXPECT_EQ(Term(*e, "4k3/8/8/3N4/2P5/8/8/4K3 w - - 0 1", TermWhiteKnights), 150);
    EXPECT_EQ(Term(*e, "4k3/2p5/8/3N4/4P3/8/8/4K3 w - - 0 1", TermWhiteKnights), 0);
    // d4 is an outpost on our own half: 100, plus 20 for the blocked d5 pawn.
    EXPECT_EQ(Term(*e, "4k3/8/8/3p4/3N4/4P3/8/4K3 w - - 0 1", TermWhiteKnights), 120);
    // Undefended, blockading: 20 (the h-pawn keeps the minor ending from settling the score).
    EXPECT_EQ(Term(*e, "4k3/8/3p4/3N4/8/8/7P/4K3 w - - 0 1", TermWhiteKnights), 20);
    // Black's twin: e4 defended by d5 (a Black outpost on White's half): -150.
    EXPECT_EQ(Term(*e, "4k3/8/8/3p4/4n3/8/8/4K3 w - - 0 1", TermBlackKnights), -150);
}

TEST(Placement, KnightsOnTheRim) {
    auto e = NewTestEngine();
    // a4 with b2 taken by an own pawn and c3 covered by the Black pawn on b4.
    EXPECT_EQ(Term(*e, "4k3/8/8/8/Np6/8/1P6/4K3 w - - 0 1", TermWhiteKnights), -150);
    EXPECT_EQ(Term(*e, "4k3/8/8/8/N7/8/1P6/4K3 w - - 0 1", TermWhiteKnights), 0);
    EXPECT_EQ(Term(*e, "4k3/6p1/8/6Pn/8/8/8/4K3 w - - 0 1", TermBlackKnights), 150);
    // a5 with b3 guarded by the a4 pawn and c4 by the d5 pawn; h5 with g3 and f4 guarded.
    EXPECT_EQ(Term(*e, "4k3/8/8/N2p4/p7/8/7P/4K3 w - - 0 1", TermWhiteKnights), -150);
    EXPECT_EQ(Term(*e, "4k3/8/8/4p2N/7p/8/P7/4K3 w - - 0 1", TermWhiteKnights), -150);
    EXPECT_EQ(Term(*e, "4k3/8/8/4p2N/8/8/P7/4K3 w - - 0 1", TermWhiteKnights), 0);
}

TEST(Placement, KnightsAgainstSpreadPawns) {
    auto e = NewTestEngine();
    EXPECT_EQ(Term(*e, "4k3/p6p/8/8/8/8/P6P/4KN2 w - - 0 1", TermKnightsAndSpread), -100);
    EXPECT_EQ(Term(*e, "4k3/2pppp2/8/8/8/8/2PPPP2/4KN2 w - - 0 1", TermKnightsAndSpread), 0);
}

TEST(Placement, OpeningPatterns) {
    auto e = NewTestEngine();
    // The knight in front of the c-pawn with the e-pawn at home: -125.
    EXPECT_EQ(Term(*e, "rnbqkbnr/pppppppp/8/8/8/2N5/PPPPPPPP/R1BQKBNR b KQkq - 0 1",
                   TermOpeningPatterns), -125);
    EXPECT_EQ(Term(*e, "rnbqkbnr/pppppppp/8/8/4P3/2N5/PPPP1PPP/R1BQKBNR b KQkq - 0 1",
                   TermOpeningPatterns), 0);
    // A fianchettoed bishop without the e4 pawn: +100.
    EXPECT_EQ(Term(*e, "rnbqkbnr/pppppppp/8/8/8/6P1/PPPPPPBP/RNBQK1NR b KQkq - 0 1",
                   TermOpeningPatterns), 100);
}

TEST(Placement, EarlyQueen) {
    auto e = NewTestEngine();
    // Queen on h5 (centre weight 4) with Black's 8 pieces and White's king at home:
    // 4 x 2 x 3 = 24, half again = 36.
    EXPECT_EQ(Term(*e, "rnbqkbnr/pppp1ppp/8/4p2Q/4P3/8/PPPP1PPP/RNB1KBNR b KQkq - 0 1",
                   TermEarlyQueen), -36);
}
