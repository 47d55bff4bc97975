// Pawn structure and the pawn hash: each structure term on small pawn sets, the file maps,
// the flags, and the two-slot probe.
#include <gtest/gtest.h>

#include "eval/pawnhash.h"
#include "eval/pawns.h"
#include "evaltest.h"
#include "support.h"

// The pawn hash entry of a position set up from FEN.
static PawnHashEntry EntryOf(const std::string& fen) {
    auto e = NewTestEngine();
    SetFen(*e, fen);
    return PawnEntry(*e);
}

TEST(PawnStructure, DoubledPawnsCostLessOnTheAFile) {
    // a2/a3 doubled with b2 beside them; Black's a7/b7 keep every pawn from being passed.
    EXPECT_EQ(EntryOf("4k3/pp6/8/8/8/P7/PP6/4K3 w - - 0 1").structureScore, -50);
    EXPECT_EQ(EntryOf("4k3/6pp/8/8/8/7P/6PP/4K3 w - - 0 1").structureScore, -100);
}

TEST(PawnStructure, PassersDefendedPassersAndControl) {
    // d4 passer 250; e5 passer 400 + 100 defended by d4; h7 Black passer -50, isolated on
    // the h-file +100. Control: d4 12 x (c5 + e5), e5 12 x (d6 + f6), h7 -12 x g6.
    PawnHashEntry x = EntryOf("4k3/7p/8/4P3/3P4/8/8/4K3 w - - 0 1");
    EXPECT_EQ(x.structureScore, 250 + 400 + 100 - 50 + 100);
    EXPECT_EQ(x.controlScore, 12 * (12 + 14) + 12 * (12 + 12) - 12 * 8);
    EXPECT_EQ(x.pawnFlags, WhitePasserFlag | BlackPasserFlag);
    EXPECT_EQ(x.whiteHalfOpen, 0xE7);
    EXPECT_EQ(x.blackHalfOpen, 0x7F);
    EXPECT_EQ(x.openFiles, 0x67);
    EXPECT_EQ(x.wingPasserUnits, 0);
}

TEST(PawnStructure, IsolatedPawnsAndTheirTotal) {
    // Four isolated White pawns: 50 on the a-file, 100 each elsewhere, then 350 for four.
    EXPECT_EQ(EntryOf("4k3/ppppppp1/8/8/8/8/P1P1P1P1/4K3 w - - 0 1").structureScore, -700);
}

TEST(PawnStructure, BackwardPawnUnderAnEnemyPawn) {
    // d3 lags behind c4 and e5 guards d4: -50. c4 passer 250 + 100 defended by d3;
    // the isolated Black e5 +100.
    EXPECT_EQ(EntryOf("4k3/8/8/4p3/2P5/3P4/8/4K3 w - - 0 1").structureScore, 250 + 100 - 50 + 100);
}

TEST(PawnStructure, CandidatePassersAndTheSeventhRank) {
    // b6 is stopped by a7 but c5 supports it as much as a7 attacks it: a passer (600 + 100).
    PawnHashEntry x = EntryOf("4k3/p7/1P6/2P5/8/8/8/4K3 w - - 0 1");
    EXPECT_EQ(x.structureScore, 700 + 400 + 50);
    EXPECT_EQ(x.pawnFlags, WhitePasserFlag);
    // A seventh-rank pawn is passed whatever stands beside it.
    x = EntryOf("4k3/2Pp4/8/8/8/8/8/4K3 w - - 0 1");
    EXPECT_TRUE(x.pawnFlags & WhitePasserFlag);
}

TEST(PawnStructure, WingPassersWithSpreadPawns) {
    // a5 passer on the wing (level 3) while White's pawns stand on a and h only.
    PawnHashEntry x = EntryOf("4k3/7p/8/P7/8/8/7P/4K3 w - - 0 1");
    EXPECT_EQ(x.wingPasserUnits, 10);
    // With pawns on the centre files White's pawns are not spread: no wing units.
    EXPECT_EQ(EntryOf("4k3/7p/8/P7/8/8/3P4/4K3 w - - 0 1").wingPasserUnits, 0);
}

TEST(PawnStructure, BlockedCentreFlag) {
    EXPECT_TRUE(EntryOf("4k3/8/8/2p1p3/2PPP3/8/8/4K3 w - - 0 1").pawnFlags & BlockedCentreFlag);
    EXPECT_FALSE(EntryOf("4k3/8/8/2p1p3/2P5/8/8/4K3 w - - 0 1").pawnFlags & BlockedCentreFlag);
}

TEST(PawnStructure, NoPawns) {
    PawnHashEntry x = EntryOf("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
    EXPECT_EQ(x.openFiles, 0xFF);
    EXPECT_EQ(x.whiteHalfOpen, 0xFF);
    EXPECT_EQ(x.blackHalfOpen, 0xFF);
    EXPECT_EQ(x.structureScore, 0);
    EXPECT_EQ(x.controlScore, 0);
    EXPECT_EQ(x.pawnFlags, 0);
    EXPECT_EQ(x.wingPasserUnits, 0);
}

TEST(PawnStructure, ColourFlipNegatesTheScores) {
    for (const char* fen : {"4k3/7p/8/4P3/3P4/8/8/4K3 w - - 0 1",
                            "4k3/8/8/4p3/2P5/3P4/8/4K3 w - - 0 1",
                            "4k3/p7/1P6/2P5/8/8/8/4K3 w - - 0 1",
                            "4k3/7p/8/P7/8/8/7P/4K3 w - - 0 1",
                            "r1bqkb1r/pp3ppp/2n1p3/2ppPn2/3P4/2P2N2/PP3PPP/RNBQKB1R w KQkq - 0 1"}) {
        PawnHashEntry x = EntryOf(fen);
        PawnHashEntry y = EntryOf(FlipFen(fen));
        EXPECT_EQ(x.structureScore, -y.structureScore) << fen;
        EXPECT_EQ(x.controlScore, -y.controlScore) << fen;
        EXPECT_EQ(x.wingPasserUnits, -y.wingPasserUnits) << fen;
        EXPECT_EQ(x.whiteHalfOpen, y.blackHalfOpen) << fen;
        EXPECT_EQ(x.openFiles, y.openFiles) << fen;
        EXPECT_EQ(x.pawnFlags & BlockedCentreFlag, y.pawnFlags & BlockedCentreFlag) << fen;
    }
}

TEST(PawnHash, TwoSlotProbe) {
    auto e = NewTestEngine();
    SetFen(*e, "4k3/pp6/8/8/8/P7/PP6/4K3 w - - 0 1");
    ClearPawnHash(*e);
    const uint32_t slot = 0x1234;
    auto key = [](uint32_t high) { return (uint64_t(high) << 32) | (0xABC0000u | slot); };
    PawnHashEntry* table = e->eval.pawnHash;

    // Keys that share the low bits alternate between slot i and i + 1.
    e->pos.pawnKey = key(1);
    PawnEntry(*e);
    EXPECT_EQ(table[slot].keyHigh, 1u);
    e->pos.pawnKey = key(2);
    PawnEntry(*e);
    EXPECT_EQ(table[slot + 1].keyHigh, 2u);
    int64_t hits = e->eval.pawnHashHits;
    e->pos.pawnKey = key(1);
    EXPECT_EQ(&PawnEntry(*e), &table[slot]);
    e->pos.pawnKey = key(2);
    EXPECT_EQ(&PawnEntry(*e), &table[slot + 1]);
    EXPECT_EQ(e->eval.pawnHashHits, hits + 2);

    // A third key evicts the entry in slot i + 1; slot i stays.
    e->pos.pawnKey = key(3);
    PawnEntry(*e);
    EXPECT_EQ(table[slot].keyHigh, 1u);
    EXPECT_EQ(table[slot + 1].keyHigh, 3u);
    EXPECT_EQ(table[slot + 1].structureScore, -50);

    // With slot i empty the probe takes it without looking at i + 1.
    table[slot].valid = 0;
    e->pos.pawnKey = key(4);
    PawnEntry(*e);
    EXPECT_EQ(table[slot].keyHigh, 4u);
    EXPECT_EQ(table[slot + 1].keyHigh, 3u);

    // The last slot wraps round to slot 0.
    const uint64_t last = 0x7FFF;
    e->pos.pawnKey = (uint64_t(5) << 32) | last;
    PawnEntry(*e);
    e->pos.pawnKey = (uint64_t(6) << 32) | last;
    PawnEntry(*e);
    EXPECT_EQ(table[0].keyHigh, 6u);
    EXPECT_EQ(table[0].valid, 1);

    ClearPawnHash(*e);
    for (uint32_t i : {0u, slot, slot + 1, uint32_t(last)})
        EXPECT_EQ(table[i].valid, 0);
}
