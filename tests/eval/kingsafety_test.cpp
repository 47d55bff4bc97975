// Pins and king safety, on positions whose attack maps and pin lists come from the move
// generator.
#include <gtest/gtest.h>

#include "eval/evaluate.h"
#include "evaltest.h"
#include "support.h"

// Sets a position and returns its trace.
static EvalTrace TraceOf(Engine& e, const char* fen) {
    SetFen(e, fen);
    return TraceEval(e);
}

TEST(Pins, WhatAPinCosts) {
    auto e = NewTestEngine();
    // A bishop pinned by a bishop moves along the pin: nothing.
    EvalTrace t = TraceOf(*e, "4k3/8/8/8/1b6/8/3B4/4K3 w - - 0 1");
    EXPECT_EQ(t.value[TermWhitePins], 0);
    EXPECT_EQ(e->pos.currentPly->threatMarker, 0);
    // A pinned knight attacked by a pawn is lost.
    t = TraceOf(*e, "4k3/8/8/8/1b6/4p3/3N4/4K3 w - - 0 1");
    EXPECT_EQ(t.value[TermWhitePins], -1000);
    EXPECT_EQ(e->pos.currentPly->threatMarker, 1);
    // A queen pinned by a defended bishop next to it is lost; further away it costs 213.
    EXPECT_EQ(TraceOf(*e, "4k3/8/8/8/1p6/2b5/3Q4/4K3 w - - 0 1").value[TermWhitePins], -1000);
    EXPECT_EQ(TraceOf(*e, "4k3/8/8/p7/1b6/8/3Q4/4K3 w - - 0 1").value[TermWhitePins], -213);
    EXPECT_EQ(e->pos.currentPly->threatMarker, 1);
    // A pinner that White attacks more than Black defends it is no threat.
    EXPECT_EQ(TraceOf(*e, "4k3/8/8/8/1b6/8/3Q4/1R2K3 w - - 0 1").value[TermWhitePins], 0);
    // A knight pinned by a rook and attacked twice, defended once: 71 and the marker.
    t = TraceOf(*e, "4k3/4r3/8/8/8/2n5/4N3/4K3 w - - 0 1");
    EXPECT_EQ(t.value[TermWhitePins], -71);
    EXPECT_EQ(e->pos.currentPly->threatMarker, 1);
    // Black's twin, White-relative and with marker 2.
    t = TraceOf(*e, "4k3/3q4/8/1B6/P7/8/8/4K3 b - - 0 1");
    EXPECT_EQ(t.value[TermBlackPins], 213);
    EXPECT_EQ(e->pos.currentPly->threatMarker, 2);
}

TEST(KingSafety, ManyDangersAtOnce) {
    auto e = NewTestEngine();
    // White's king on g1 without shield or castling rights: three attack units on its
    // neighbours (the f3 pawn on g2, the h3 queen, the g3 knight) -500; Black pieces on f3
    // and g3 -100 each; no shield and no castling -125; the open g-file -50; the queen
    // within two squares -200; three empty squares in front -50; seven dangers -750.
    const char* fen = "2k5/8/8/8/8/5pnq/R7/R2Q2K1 w - - 0 1";
    EvalTrace t = TraceOf(*e, fen);
    EXPECT_EQ(t.value[TermWhiteKingSafety], -500 - 100 - 100 - 125 - 50 - 200 - 50 - 750);
    EXPECT_EQ(e->eval.whiteKingDanger, 7);
    // With g2 guarded only by the king, the f3 pawn costs 500 more.
    t = TraceOf(*e, "2k5/8/8/8/8/R4pnq/8/R2Q2K1 w - - 0 1");
    EXPECT_EQ(t.value[TermWhiteKingSafety], -1875 - 500);
    // Black's twin: the flipped position with a White rook on b1 added, so that White's
    // material takes the middlegame branch.
    EXPECT_EQ(FlipFen(fen), "r2q2k1/r7/5PNQ/8/8/8/8/2K5 b - - 0 1");
    SetFen(*e, "r2q2k1/r7/5PNQ/8/8/8/8/1RK5 b - - 0 1");
    EXPECT_EQ(TraceEval(*e).value[TermBlackKingSafety], 1875);
    EXPECT_EQ(e->eval.blackKingDanger, 7);
}

TEST(KingSafety, CastlingReadiness) {
    auto e = NewTestEngine();
    // The king on e1 that has lost its king-side right: 200 and a danger.
    EvalTrace t = TraceOf(*e, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w Qkq - 0 1");
    EXPECT_EQ(t.value[TermWhiteKingSafety], -200);
    // Ready to castle (f1 and g1 empty and safe): nothing.
    t = TraceOf(*e, "rnbqkbnr/pppppppp/8/8/8/5NP1/PPPPPPBP/RNBQK2R w KQkq - 0 1");
    EXPECT_EQ(t.value[TermWhiteKingSafety], 0);
    // Castled by hand on g1 with the rook still on h1: shut in, 200 and a danger.
    t = TraceOf(*e, "rnbqkbnr/pppppppp/8/8/8/5NP1/PPPPPPBP/RNBQ2KR w kq - 0 1");
    EXPECT_EQ(t.value[TermWhiteKingSafety], -200);
}

TEST(Placement, TermsThatReadTheAttackMaps) {
    auto e = NewTestEngine();
    // Rooks that see each other along the first rank.
    EXPECT_EQ(TraceOf(*e, "4k3/8/8/8/8/8/8/R4RK1 w - - 0 1").value[TermConnectedRooks], 75);
    EXPECT_EQ(TraceOf(*e, "4k3/8/8/8/8/8/8/R3K2R w - - 0 1").value[TermConnectedRooks], 0);
    // The rook on the seventh sweeps d7, e7 and f7 in front of the king on e8.
    EXPECT_EQ(TraceOf(*e, "4k3/R7/8/8/8/8/8/4K3 b - - 0 1").value[TermRooksOnSeventh], 325);
    EXPECT_EQ(TraceOf(*e, "4k3/R2p4/8/8/8/8/8/4K3 b - - 0 1").value[TermRooksOnSeventh], 225);
    // An undefended knight blockading a pawn earns 50 when White covers its square.
    EXPECT_EQ(TraceOf(*e, "4k3/8/3p4/3N4/8/8/8/3RK3 w - - 0 1").value[TermWhiteKnights], 50);
}

TEST(Mobility, SliderControlIsWhiteMinusBlack) {
    auto e = NewTestEngine();
    EXPECT_EQ(TraceOf(*e, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1")
                  .value[TermMobility], 0);
    EvalTrace t = TraceOf(*e, "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1");
    EXPECT_GT(t.value[TermMobility], 0);
    EXPECT_EQ(t.value[TermMobility], e->pos.mobilityBalance);
}
