// Passed pawns and endgame scaling: settled draws, the divisors of drawish material, minor
// and rook ending knowledge, pawn races.
#include <gtest/gtest.h>

#include "eval/evaluate.h"
#include "evaltest.h"
#include "support.h"

// The White-relative score accumulated before a term was booked.
static int ScoreBefore(const EvalTrace& t, EvalTerm term) {
    int s = 0;
    for (int i = 0; i < term; i++)
        s += t.value[i];
    return s;
}

// Sets a position and returns its trace.
static EvalTrace TraceOf(Engine& e, const char* fen) {
    SetFen(e, fen);
    return TraceEval(e);
}

TEST(EndgameScaling, SettledDraws) {
    auto e = NewTestEngine();
    // Rook against rook without pawns, whoever moves.
    for (const char* fen : {"r3k3/8/8/8/8/8/8/R3K3 w - - 0 1", "r3k3/8/8/8/8/8/8/R3K3 b - - 0 1"}) {
        SetFen(*e, fen);
        EXPECT_EQ(Evaluate(*e), 0) << fen;
    }
    // Defending king in front of the pawn, rook on the third rank (or behind from the first
    // against a pawn on the sixth): 2 from White's view whatever the other terms said.
    for (const char* fen : {"4k3/8/r7/4PK2/8/8/8/7R b - - 0 1", "4k3/8/r7/4PK2/8/8/8/7R w - - 0 1",
                            "4k3/8/4PK2/8/8/8/8/r6R b - - 0 1"}) {
        SetFen(*e, fen);
        EXPECT_EQ(WhiteEval(*e), 2) << fen;
    }
    // The rook one rank further up is no defence: divided by 5, then twice by 7/8 for a
    // single pawn file.
    EvalTrace t = TraceOf(*e, "4k3/8/8/r3PK2/8/8/8/7R w - - 0 1");
    int before = ScoreBefore(t, TermRookEnding);
    EXPECT_EQ(t.value[TermRookEnding], before / 5 * 7 / 8 * 7 / 8 - before);
    // Mirrored for Black's pawn.
    SetFen(*e, "7r/8/8/8/4pk2/R7/8/4K3 w - - 0 1");
    EXPECT_EQ(WhiteEval(*e), -2);
}

TEST(EndgameScaling, RookEndingWithPawnsOnFewFiles) {
    auto e = NewTestEngine();
    // Pawns on f-h only: openSpan of the open files is 4, the score shrinks by 7/8 once.
    EvalTrace t = TraceOf(*e, "r5k1/6pp/8/8/8/8/5PPP/R5K1 w - - 0 1");
    int before = ScoreBefore(t, TermRookEnding);
    EXPECT_EQ(t.value[TermRookEnding], before * 7 / 8 - before);
}

TEST(EndgameScaling, DivisorsAgainstALoneRook) {
    auto e = NewTestEngine();
    struct Case { const char* fen; int divisor; };
    for (Case c : {Case{"r3k3/8/8/8/8/8/8/R3KB2 w - - 0 1", 5},   // rook and bishop
                   Case{"r3k3/8/8/8/8/8/8/R3KN2 w - - 0 1", 7},   // rook and knight
                   Case{"r3k3/8/8/8/8/8/8/2B1KN2 w - - 0 1", 32}, // two minors
                   Case{"q3k3/8/8/8/8/8/8/QN2K3 w - - 0 1", 5}}) { // queen and knight v queen
        EvalTrace t = TraceOf(*e, c.fen);
        int before = ScoreBefore(t, TermEndgameScaling);
        ASSERT_GT(before, 0) << c.fen;
        EXPECT_EQ(t.value[TermEndgameScaling], before / c.divisor - before) << c.fen;
        EXPECT_EQ(WhiteEval(*e), before / c.divisor) << c.fen;
    }
    // Black's twin divides negative scores.
    EvalTrace t = TraceOf(*e, "r3kb2/8/8/8/8/8/8/R3K3 b - - 0 1");
    int before = ScoreBefore(t, TermEndgameScaling);
    ASSERT_LT(before, 0);
    EXPECT_EQ(t.value[TermEndgameScaling], before / 5 - before);
}

TEST(EndgameScaling, OppositeBishopsWithRooks) {
    auto e = NewTestEngine();
    EvalTrace t = TraceOf(*e, "r1b1k3/8/8/8/8/8/8/R1B1K3 w - - 0 1");
    int before = ScoreBefore(t, TermEndgameScaling);
    EXPECT_EQ(t.value[TermEndgameScaling], before * 3 / 4 - before);
    EXPECT_EQ(TraceOf(*e, "r3kb2/8/8/8/8/8/8/R1B1K3 w - - 0 1").value[TermEndgameScaling], 0);
}

TEST(MinorEnding, OneMinorAgainstTwo) {
    auto e = NewTestEngine();
    // A knight against two bishops keeps its score.
    EXPECT_EQ(TraceOf(*e, "1b2kb2/8/8/8/8/8/8/4KN2 w - - 0 1").value[TermMinorEnding], 0);
    // A bishop against bishop and knight: divided by 60.
    EvalTrace t = TraceOf(*e, "1b2kn2/8/8/8/8/8/8/4KB2 w - - 0 1");
    int before = ScoreBefore(t, TermMinorEnding);
    EXPECT_EQ(t.value[TermMinorEnding], before / 60 - before);
}

TEST(MinorEnding, RookAgainstBishopByTheDefendingKingsCorner) {
    auto e = NewTestEngine();
    // The b1 bishop is light: a8 is the corner it covers, h8 the one it does not.
    EXPECT_EQ(TraceOf(*e, "k7/8/8/8/8/8/8/1b2K2R w - - 0 1").value[TermMinorEnding], 0);
    SetFen(*e, "6k1/8/8/8/8/8/8/1b2K2R w - - 0 1");
    EXPECT_EQ(Evaluate(*e), 0);
    EvalTrace t = TraceOf(*e, "3k4/8/8/8/8/8/8/1b2K2R w - - 0 1");
    int before = ScoreBefore(t, TermMinorEnding);
    EXPECT_EQ(t.value[TermMinorEnding], before / 7 - before);
    // Against a knight always divided by 7.
    t = TraceOf(*e, "k7/8/8/8/8/8/8/1n2K2R w - - 0 1");
    before = ScoreBefore(t, TermMinorEnding);
    EXPECT_EQ(t.value[TermMinorEnding], before / 7 - before);
}

TEST(MinorEnding, BishopAndPawnsThatCannotWin) {
    auto e = NewTestEngine();
    // Dark bishop, a-pawn, defending king next to a8: the wrong rook pawn.
    SetFen(*e, "1k6/8/8/8/P7/8/8/2B1K3 w - - 0 1");
    EXPECT_EQ(Evaluate(*e), 0);
    // The light bishop covers a8: only the general terms.
    SetFen(*e, "1k6/8/8/8/P7/8/8/3BK3 w - - 0 1");
    EXPECT_GT(Evaluate(*e), 3000);
    // Blocked b-pawn with the defending king in the corner.
    SetFen(*e, "1k6/1p6/1P6/8/8/8/8/2B1K3 w - - 0 1");
    EXPECT_EQ(Evaluate(*e), 0);
    SetFen(*e, "2k5/6p1/6P1/8/8/8/8/2B1K3 w - - 0 1");
    EXPECT_GT(Evaluate(*e), 0);  // the king is not in the g-pawn's corner
    SetFen(*e, "6k1/6p1/6P1/8/8/8/8/2B1K3 b - - 0 1");
    EXPECT_EQ(Evaluate(*e), 0);
}

TEST(MinorEnding, PawnsAgainstAPiece) {
    auto e = NewTestEngine();
    EXPECT_EQ(TraceOf(*e, "4k3/8/8/8/8/8/4PPP1/4Kn2 w - - 0 1").value[TermMinorEnding], 250);
    // Bishop against a lone pawn, the bishop ahead: a small settled score.
    SetFen(*e, "4k3/8/8/8/8/8/4P3/2b1K3 w - - 0 1");
    // 20 + centre(e1) - centre(e8) - centre(c1) + 15 for the pawn on e2.
    EXPECT_EQ(WhiteEval(*e), 20 + 4 - 4 - 4 + 5);
}

TEST(PawnEnding, RaceWithEqualCounts) {
    auto e = NewTestEngine();
    // Both pawns need four moves, neither king catches the other pawn, White to move.
    EXPECT_EQ(TraceOf(*e, "k7/8/8/p7/7P/8/8/7K w - - 0 1").value[TermPawnEnding], 333);
    // With Black to move Black's pawn is a tempo ahead.
    EXPECT_EQ(TraceOf(*e, "k7/8/8/p7/7P/8/8/7K b - - 0 1").value[TermPawnEnding], -333);
}

TEST(PawnEnding, UnstoppablePawnAndRammedPairs) {
    auto e = NewTestEngine();
    // The e-pawn runs in four, Black's king is too far: (6 - 4) x 500 + 4000, 500 for the move.
    EXPECT_EQ(TraceOf(*e, "8/8/8/8/4P3/8/8/k3K3 w - - 0 1").value[TermPawnEnding], 5500);
    EXPECT_EQ(TraceOf(*e, "8/8/8/8/4P3/8/8/k3K3 b - - 0 1").value[TermPawnEnding], 4000 + 1000);
    // White's king wins the rammed d5 pawn: +3000.
    EXPECT_EQ(TraceOf(*e, "8/8/8/3p4/3P1K2/8/8/k7 w - - 0 1").value[TermPawnEnding], 3000);
}

TEST(PawnEnding, OppositionCountsOnlyForASideWithPawns) {
    auto e = NewTestEngine();
    // Bare kings in opposition: neither side has a pawn to be stuck, whoever moves.
    for (const char* fen : {"8/8/8/4k3/8/4K3/8/8 w - - 0 1", "8/8/8/4k3/8/4K3/8/8 b - - 0 1"})
        EXPECT_EQ(TraceOf(*e, fen).value[TermPawnEnding], 0) << fen;
    // King and pawn against king, the pawn free to move and not running: the pawnless side
    // gains nothing from the opposition.
    EXPECT_EQ(TraceOf(*e, "8/8/8/4k3/8/4K3/P7/8 w - - 0 1").value[TermPawnEnding], 0);
    EXPECT_EQ(TraceOf(*e, "8/p7/8/4k3/8/4K3/8/8 w - - 0 1").value[TermPawnEnding], 0);
    // A side whose only pawn is blocked still loses the opposition: -300 from White's view
    // when White's pawn is stuck, +300 when Black's is.
    EXPECT_EQ(TraceOf(*e, "8/8/8/4k3/4P3/4K3/8/8 w - - 0 1").value[TermPawnEnding], -300);
    EXPECT_EQ(TraceOf(*e, "8/8/4k3/4p3/4K3/8/8/8 b - - 0 1").value[TermPawnEnding], 300);
    // Stuck White pawns against a Black pawn that can still move.
    EXPECT_EQ(TraceOf(*e, "8/8/7p/p3k3/P7/4K3/8/8 w - - 0 1").value[TermPawnEnding], -300);
    EXPECT_EQ(TraceOf(*e, "8/8/4k3/p7/P3K3/7P/8/8 b - - 0 1").value[TermPawnEnding], 300);
}

TEST(Passers, FarAdvancedPawns) {
    auto e = NewTestEngine();
    // A rook behind the seventh-rank pawn, nothing in the way: the pawn promotes.
    EXPECT_EQ(TraceOf(*e, "7k/P7/8/8/8/8/8/R3K3 w - - 0 1").value[TermWhitePassers], 4000);
    // A sixth-rank pawn with the king five squares from its promotion square: 70 x 5 - 110.
    EXPECT_EQ(TraceOf(*e, "8/8/P7/8/5k2/8/8/R3K3 w - - 0 1").value[TermWhitePassers], 70 * 5 - 110);
    // The same pawn blockaded by the king.
    EXPECT_EQ(TraceOf(*e, "8/k7/P7/8/8/8/8/R3K3 w - - 0 1").value[TermWhitePassers], -83);
}
