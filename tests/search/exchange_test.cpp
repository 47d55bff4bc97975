// Exchange and threat tests: the cases that decide the capture, threat and king-attack
// answers.
#include <gtest/gtest.h>

#include <cstdlib>

#include "notation/epd.h"
#include "randomgames.h"
#include "search/exchange.h"

TEST(CaptureGainTest, MarginsTradesAndGuards) {
    auto e = NewTestEngine();
    // Pawn takes knight: the victim covers a margin up to its value; above it the capture
    // fails while White has more than three pieces.
    SetFen(*e, "4k3/8/8/3n4/4P3/8/8/RN2K1NR w - - 0 1");
    EXPECT_TRUE(CaptureGainTest(*e, Mv("e4d5"), 3000));
    EXPECT_FALSE(CaptureGainTest(*e, Mv("e4d5"), 3001));
    SetFen(*e, "4k3/8/8/3n4/4P3/8/8/1N2K1N1 w - - 0 1");
    EXPECT_TRUE(CaptureGainTest(*e, Mv("e4d5"), 3001));
    EXPECT_FALSE(CaptureGainTest(*e, Mv("g1f3"), 1));  // not a capture

    // Queen takes a pawn guarded only by a bishop, with or without a rook behind it.
    SetFen(*e, "4k3/8/4b3/3p4/8/8/8/3QK3 w - - 0 1");
    EXPECT_FALSE(CaptureGainTest(*e, Mv("d1d5"), 1));
    SetFen(*e, "4k3/8/4b3/3p4/8/8/3Q4/3RK3 w - - 0 1");
    EXPECT_FALSE(CaptureGainTest(*e, Mv("d2d5"), 1));
    // Unguarded, the same capture holds.
    SetFen(*e, "4k3/8/8/3p4/8/8/8/3QK3 w - - 0 1");
    EXPECT_TRUE(CaptureGainTest(*e, Mv("d1d5"), 1));

    // Knight takes a pawn-guarded knight: accepted at the first quiescence level only.
    SetFen(*e, "4k3/8/4p3/3n4/8/2N5/8/4K3 w - - 0 1");
    e->search.searchDepth = 3;
    e->pos.effectivePly = 3;
    EXPECT_TRUE(CaptureGainTest(*e, Mv("c3d5"), 1));
    e->pos.effectivePly = 4;
    EXPECT_FALSE(CaptureGainTest(*e, Mv("c3d5"), 1));
    // A second attacker carries it at the second level.
    SetFen(*e, "4k3/8/4p3/3n4/8/2N1N3/8/4K3 w - - 0 1");
    e->search.searchDepth = 3;
    e->pos.effectivePly = 4;
    EXPECT_TRUE(CaptureGainTest(*e, Mv("c3d5"), 1));

    // Queen takes a knight guarded only by its king, backed by a rook: holds; a knight guard
    // or a rook guard for the bigger gap refuses it.
    SetFen(*e, "4k3/3n4/8/8/8/3Q4/8/3RK3 w - - 0 1");
    EXPECT_TRUE(CaptureGainTest(*e, Mv("d3d7"), 1));
    SetFen(*e, "1n2k3/3n4/8/8/8/3Q4/8/3RK3 w - - 0 1");
    EXPECT_FALSE(CaptureGainTest(*e, Mv("d3d7"), 1));
    SetFen(*e, "4k3/r2n4/8/8/8/3Q4/8/3RK3 w - - 0 1");
    EXPECT_FALSE(CaptureGainTest(*e, Mv("d3d7"), 1));

    // Black to move: the same tests from the other side.
    SetFen(*e, "rn2k1nr/8/8/4p3/3N4/8/8/4K3 b - - 0 1");
    EXPECT_TRUE(CaptureGainTest(*e, Mv("e5d4"), 3000));
    EXPECT_TRUE(CaptureGainTest(*e, Mv("e5d4"), 3001));  // White has only its king
}

TEST(QuiescenceThreatTest, ForksContactAndBackRank) {
    auto e = NewTestEngine();
    // A knight check that also hits the undefended queen, within the margin limits.
    SetFen(*e, "4k3/8/8/1q6/4N3/8/8/4K3 w - - 0 1");
    EXPECT_TRUE(QuiescenceThreatTest(*e, Mv("e4d6"), 9000));
    EXPECT_FALSE(QuiescenceThreatTest(*e, Mv("e4d6"), 9501));
    EXPECT_FALSE(QuiescenceThreatTest(*e, Mv("e4c5"), 1));  // no check, no fork
    e->search.searchDepth = 3;
    e->pos.effectivePly = 5;  // third quiescence level: no threats looked for
    EXPECT_FALSE(QuiescenceThreatTest(*e, Mv("e4d6"), 9000));

    // The queen defended by a pawn counts only while the margin is small.
    SetFen(*e, "4k3/8/2p5/1q6/4N3/8/8/4K3 w - - 0 1");
    EXPECT_TRUE(QuiescenceThreatTest(*e, Mv("e4d6"), 6500));
    EXPECT_FALSE(QuiescenceThreatTest(*e, Mv("e4d6"), 6501));

    // Queen contact with the king: supported or backed, yes; alone, no.
    SetFen(*e, "k7/7Q/1K6/8/8/8/8/8 w - - 0 1");
    EXPECT_TRUE(QuiescenceThreatTest(*e, Mv("h7b7"), 5000));
    SetFen(*e, "k7/7Q/8/8/8/8/8/K7 w - - 0 1");
    EXPECT_FALSE(QuiescenceThreatTest(*e, Mv("h7b7"), 5000));
    SetFen(*e, "k7/6QR/8/8/8/8/8/K7 w - - 0 1");  // a rook behind the queen backs it
    EXPECT_TRUE(QuiescenceThreatTest(*e, Mv("g7b7"), 5000));

    // Back rank: all escape squares blocked, an undefended checking square.
    SetFen(*e, "6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
    EXPECT_TRUE(QuiescenceThreatTest(*e, Mv("a1a8"), 5000));
    SetFen(*e, "6k1/5pp1/8/8/8/8/8/R5K1 w - - 0 1");  // h7 free
    EXPECT_FALSE(QuiescenceThreatTest(*e, Mv("a1a8"), 5000));
    SetFen(*e, "r5k1/5ppp/8/8/8/8/8/1R4K1 w - - 0 1");  // b8 guarded by the rook
    EXPECT_FALSE(QuiescenceThreatTest(*e, Mv("b1b8"), 5000));
    // Mirror for Black: the White king on the first rank.
    SetFen(*e, "r5k1/8/8/8/8/8/5PPP/6K1 b - - 0 1");
    EXPECT_TRUE(QuiescenceThreatTest(*e, Mv("a8a1"), 5000));

    // Captures that check: accepted onto an undefended square.
    SetFen(*e, "4k3/8/8/8/1p6/8/8/1R2K3 w - - 0 1");
    EXPECT_FALSE(QuiescenceThreatTest(*e, Mv("b1b4"), 5000));
    SetFen(*e, "1n2k3/8/8/8/8/8/8/1R2K3 w - - 0 1");
    EXPECT_TRUE(QuiescenceThreatTest(*e, Mv("b1b8"), 5000));
}

TEST(IsKingAttackMove, EachMover) {
    auto e = NewTestEngine();
    SetFen(*e, "4k3/8/P7/8/8/P7/8/4K3 w - - 0 1");
    EXPECT_TRUE(IsKingAttackMove(*e, Mv("a6a7")));   // seventh rank
    EXPECT_FALSE(IsKingAttackMove(*e, Mv("a3a4")));
    SetFen(*e, "4k3/8/8/3q4/8/4P3/8/4K3 w - - 0 1");
    EXPECT_TRUE(IsKingAttackMove(*e, Mv("e3e4")));   // hits the queen
    SetFen(*e, "4k3/8/8/8/8/p7/8/4K3 b - - 0 1");
    EXPECT_TRUE(IsKingAttackMove(*e, Mv("a3a2")));   // second rank for Black
    SetFen(*e, "4k3/8/8/8/8/8/p7/4K3 b - - 0 1");
    EXPECT_TRUE(IsKingAttackMove(*e, Mv("a2a1", -Queen)));
    EXPECT_FALSE(IsKingAttackMove(*e, Mv("a2a1", -Knight)));

    // Knights within three of the king, but not exactly three squares diagonally.
    SetFen(*e, "7k/8/8/8/3N4/3N4/8/4K3 w - - 0 1");
    EXPECT_TRUE(IsKingAttackMove(*e, Mv("d4e6")));
    EXPECT_TRUE(IsKingAttackMove(*e, Mv("d4f5")));
    EXPECT_FALSE(IsKingAttackMove(*e, Mv("d4f3")));
    EXPECT_FALSE(IsKingAttackMove(*e, Mv("d3e5")));

    // Bishops near the king, unless the king lies further along the diagonal moved on.
    SetFen(*e, "4k3/8/8/8/1B3B2/8/8/4K3 w - - 0 1");
    EXPECT_FALSE(IsKingAttackMove(*e, Mv("b4d6")));
    EXPECT_TRUE(IsKingAttackMove(*e, Mv("f4d6")));
    EXPECT_FALSE(IsKingAttackMove(*e, Mv("f4h6")));

    // Rooks along a rank or file that leads next to the king.
    SetFen(*e, "4k3/8/8/8/8/8/R7/R3K3 w Q - 0 1");
    EXPECT_TRUE(IsKingAttackMove(*e, Mv("a2a7")));
    EXPECT_FALSE(IsKingAttackMove(*e, Mv("a2a6")));
    EXPECT_TRUE(IsKingAttackMove(*e, Mv("a1d1")));
    SetFen(*e, "4k3/2p5/8/8/8/8/R7/4K3 w - - 0 1");
    EXPECT_FALSE(IsKingAttackMove(*e, Mv("a2a7")));  // the pawn on c7 stops the walk
    SetFen(*e, "4k3/2R5/8/8/8/8/R7/4K3 w - - 0 1");
    EXPECT_TRUE(IsKingAttackMove(*e, Mv("a2a7")));   // an own rook lets it through

    // Queens within two, else as rooks; kings within two.
    SetFen(*e, "4k3/8/8/8/8/8/8/Q3K3 w - - 0 1");
    EXPECT_TRUE(IsKingAttackMove(*e, Mv("a1a7")));
    EXPECT_TRUE(IsKingAttackMove(*e, Mv("a1e5")));  // the e-file leads to e7
    EXPECT_FALSE(IsKingAttackMove(*e, Mv("a1b2")));
    SetFen(*e, "8/8/8/4k3/8/4K3/8/8 w - - 0 1");
    EXPECT_TRUE(IsKingAttackMove(*e, Mv("e3d3")));
    EXPECT_FALSE(IsKingAttackMove(*e, Mv("e3e2")));
}
