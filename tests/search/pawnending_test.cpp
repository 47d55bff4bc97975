// The king-and-pawn ending recognizer against its worked examples.
#include <gtest/gtest.h>

#include "search/pawnending.h"
#include "support.h"

namespace {

// Score of the recognizer in a position, or 0 with recognized false.
int Recognize(Engine& e, const std::string& fen, bool& recognized) {
    SetFen(e, fen);
    int score = 0;
    recognized = RecognizePawnEnding(e, score);
    return recognized ? score : 0;
}

TEST(PawnEnding, KingInFrontOfItsPawnWins) {
    auto e = NewTestEngine();
    bool known;
    // White king d6, pawn d5, Black king d8: 4000 + 500 x 5 + 8 x 6.
    EXPECT_EQ(Recognize(*e, "3k4/8/3K4/3P4/8/8/8/8 w - -", known), 6548);
    EXPECT_TRUE(known);
    EXPECT_EQ(Recognize(*e, "3k4/8/3K4/3P4/8/8/8/8 b - -", known), -6548);
    // The colour-flipped position gives the same verdict for Black.
    EXPECT_EQ(Recognize(*e, "8/8/8/8/3p4/3k4/8/3K4 b - -", known), 6548);
    EXPECT_EQ(Recognize(*e, "8/8/8/8/3p4/3k4/8/3K4 w - -", known), -6548);
    // Mirrored onto the king side the score is the same.
    EXPECT_EQ(Recognize(*e, "4k3/8/4K3/4P3/8/8/8/8 w - -", known), 6548);
}

TEST(PawnEnding, RookPawnWithTheKingInFrontIsADraw) {
    auto e = NewTestEngine();
    bool known;
    EXPECT_EQ(Recognize(*e, "8/k7/8/8/P3K3/8/8/8 w - -", known), 1);
    EXPECT_TRUE(known);
    EXPECT_EQ(Recognize(*e, "8/1k6/8/8/P3K3/8/8/8 b - -", known), -1);
    EXPECT_TRUE(known);
    // Black's h-pawn with the White king in front: 1 for Black, so -1 with White to move.
    EXPECT_EQ(Recognize(*e, "8/8/8/8/4k2p/8/6K1/8 w - -", known), -1);
    EXPECT_TRUE(known);
}

TEST(PawnEnding, SquareRule) {
    auto e = NewTestEngine();
    bool known;
    // Pawn b2, attacker to move, defending king six files away: a win (500 x 2 + 8 x 1 + 4000).
    EXPECT_EQ(Recognize(*e, "7k/8/8/8/8/8/1P6/7K w - -", known), 5008);
    // Defender to move and inside the square: no win.
    int s = Recognize(*e, "8/8/8/3k4/8/8/1P6/7K b - -", known);
    EXPECT_TRUE(!known || s > -4000);
}

TEST(PawnEnding, DefenderTakesTheLonePawn) {
    auto e = NewTestEngine();
    bool known;
    // Rule 2: the defender to move stands next to the pawn, the attacker does not.
    EXPECT_EQ(Recognize(*e, "8/8/8/3k4/3P4/8/8/7K b - -", known), -1);
    EXPECT_TRUE(known);
}

TEST(PawnEnding, DoubledPawnsAgainstABareKing) {
    auto e = NewTestEngine();
    bool known;
    EXPECT_EQ(Recognize(*e, "1k6/8/8/8/8/P7/P7/7K w - -", known), 1);
    EXPECT_TRUE(known);
    EXPECT_EQ(Recognize(*e, "8/4k3/4P3/4P3/8/8/8/K7 b - -", known), 1);
    EXPECT_TRUE(known);
    EXPECT_EQ(Recognize(*e, "k7/8/8/8/4p3/4p3/4K3/8 w - -", known), -1);
    EXPECT_TRUE(known);
    Recognize(*e, "k7/8/8/8/8/3P4/4P3/4K3 w - -", known);  // not on one file
    EXPECT_FALSE(known);
}

TEST(PawnEnding, DeclinesOtherEndings) {
    auto e = NewTestEngine();
    bool known;
    Recognize(*e, "4k3/8/8/8/8/8/8/4K3 w - -", known);   // no pawns
    EXPECT_FALSE(known);
    Recognize(*e, "4k3/4p3/8/8/8/8/4P3/4K3 w - -", known);  // pawns on both sides
    EXPECT_FALSE(known);
}

TEST(PawnEnding, RuleSetOnCoordinates) {
    int score = 0;
    // Rule 5.6: attacking king two ranks in front of the pawn.
    EXPECT_TRUE(KingPawnVersusKing(4, 6, 4, 4, 8, 8, true, score));
    EXPECT_EQ(score, 4000 + 2000 + 48);
    // Rule 5.4: the defending king blocks the pawn one rank ahead.
    EXPECT_TRUE(KingPawnVersusKing(1, 1, 4, 4, 4, 5, true, score));
    EXPECT_EQ(score, 1);
    // An attacking king on file 1 (after mirroring) adds one point.
    EXPECT_TRUE(KingPawnVersusKing(1, 7, 2, 7, 8, 1, false, score));
    EXPECT_EQ(score, 4000 + 3500 + 56 + 1);
}

}  // namespace
