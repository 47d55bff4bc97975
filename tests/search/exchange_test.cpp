// Exchange and threat tests: GivesCheck against making the move and looking, and the cases
// that decide the capture, threat and king-attack answers.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "board/givescheck.h"
#include "notation/epd.h"
#include "randomgames.h"
#include "search/exchange.h"

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
