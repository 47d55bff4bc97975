// MakeMove and UnmakeMove: exact restoration, keys, and the bookkeeping of special moves.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "board/gameline.h"
#include "board/geometry.h"
#include "board/hashkey.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/reference.h"
#include "eval/evaltest.h"  // FlipFen
#include "notation/epd.h"
#include "support.h"

// The positions of the published perft counts: castling, en passant, promotions, pins.
static const char* const perftFens[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ -",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - -",
};

// Plays a move given as "e2e4" or "a7a8n" after finding it in the current list.
static void Play(Engine& e, const char* text) {
    int from = Sq(text), to = Sq(text + 2);
    const PlyRecord* r = e.pos.currentPly;
    for (int i = 0; i < r->moveCount; i++) {
        const MoveListEntry& m = r->moves[i];
        int kind = m.promotion < 0 ? -m.promotion : m.promotion;
        bool wanted = !text[4] || "?pnbrq"[kind] == text[4];
        if (m.from == from && m.to == to && wanted) {
            MakeMove(e.pos, EntryMove(m));
            ASSERT_EQ(CheckPosition(e.pos), "") << text;
            return;
        }
    }
    FAIL() << "not a legal move: " << text;
}

// What kind of special move an entry is, for counting coverage.
enum Special { Quiet, Capture, EnPassant, CastleShort, CastleLong, Promotion, PromotionCapture,
               Underpromotion, SpecialKinds };

static Special Classify(const Position& p, const MoveListEntry& m) {
    int piece = p.board[m.from];
    int kind = piece < 0 ? -piece : piece;
    if (kind == King && m.to - m.from == 20)
        return CastleShort;
    if (kind == King && m.to - m.from == -20)
        return CastleLong;
    if (kind == Pawn && (rankOf[m.to] == 1 || rankOf[m.to] == 8)) {
        int promoted = m.promotion < 0 ? -m.promotion : m.promotion;
        if (promoted != Queen)
            return Underpromotion;
        return p.board[m.to] ? PromotionCapture : Promotion;
    }
    int step = m.to - m.from;
    bool diagonal = step == 9 || step == -9 || step == 11 || step == -11;
    if (kind == Pawn && m.to == p.epSquare && p.board[m.to] == Empty && diagonal)
        return EnPassant;
    return p.board[m.to] ? Capture : Quiet;
}

// Every move of every position of random games is made and taken back: the consistency
// check holds after each, the keys equal the keys from scratch, and the position after the
// take-back equals the one before in every field.
TEST(MakeMove, EveryMoveOfRandomGamesIsUndoneExactly) {
    auto e = NewTestEngine();
    std::mt19937 rng(777);
    std::vector<std::string> fens(std::begin(perftFens), std::end(perftFens));
    fens.push_back("r3k2r/1P4P1/8/3pP3/8/8/1p4p1/R3K2R w KQkq d6 0 1");
    int seen[2][SpecialKinds] = {};
    auto snapshot = std::make_unique<Position>();
    for (const std::string& start : fens) {
        for (int game = 0; game < 4; game++) {
            SetFen(*e, game % 2 ? FlipFen(start) : start);
            for (int ply = 0; ply < 60; ply++) {
                Position& p = e->pos;
                PlyRecord* r = p.currentPly;
                std::memcpy(snapshot.get(), &p, sizeof p);
                for (int i = 0; i < r->moveCount; i++) {
                    const MoveListEntry m = r->moves[i];
                    seen[p.whiteToMove][Classify(p, m)]++;
                    MakeMove(e->pos, EntryMove(m));
                    ASSERT_EQ(CheckPosition(e->pos), "") << PositionToEpd(e->pos);
                    ASSERT_EQ(p.hashKey, ComputeHashKey(e->pos));
                    ASSERT_EQ(p.pawnKey, ComputePawnKey(e->pos));
                    ASSERT_EQ(p.currentPly, r + 1);
                    ASSERT_EQ(p.searchPly, 1);
                    ASSERT_EQ(p.currentPly->moves, r->moves + r->moveCount);
                    UnmakeMove(e->pos);
                    ASSERT_EQ(CheckPosition(e->pos), "");
                    ASSERT_EQ(ComparePositions(*snapshot, p), "") << PositionToEpd(e->pos);
                }
                if (r->moveCount == 0)
                    break;
                // Prefer the rarer kinds of move so that they keep coming up.
                std::vector<int> special;
                for (int i = 0; i < r->moveCount; i++)
                    if (Classify(p, r->moves[i]) >= EnPassant)
                        special.push_back(i);
                int pick = !special.empty() && rng() % 2 ? special[rng() % special.size()]
                                                         : int(rng() % unsigned(r->moveCount));
                GameMakeMove(e->pos, EntryMove(r->moves[pick]));
            }
        }
    }
    for (int side : {0, 1})
        for (int kind = Capture; kind < SpecialKinds; kind++)
            EXPECT_GT(seen[side][kind], 0) << "side " << side << " kind " << kind;
}

TEST(MakeMove, DoubleStepSetsTheEnPassantSquareOnlyWhenUsable) {
    auto e = NewTestEngine();
    Play(*e, "e2e4");
    EXPECT_EQ(e->pos.epSquare, 0);
    SetFen(*e, "4k3/8/8/8/3p4/8/4P3/4K3 w - - 0 1");
    Play(*e, "e2e4");
    EXPECT_EQ(e->pos.epSquare, Sq("e3"));
    EXPECT_EQ(e->pos.currentPly->epSquare, Sq("e3"));
    Play(*e, "d4e3");
    EXPECT_EQ(e->pos.board[Sq("e4")], Empty);
    EXPECT_EQ(e->pos.white.pawnCount, 0);
    EXPECT_EQ(e->pos.currentPly->epCaptureSquare, Sq("e4"));
    EXPECT_EQ(e->pos.currentPly->capturedPiece, Empty);
    UnmakeMove(e->pos);
    EXPECT_EQ(CheckPosition(e->pos), "");
    EXPECT_EQ(e->pos.board[Sq("e4")], Pawn);
    EXPECT_EQ(e->pos.epSquare, Sq("e3"));
}

TEST(MakeMove, CastlingRightsAndRooksOnSeventh) {
    auto e = NewTestEngine();
    SetFen(*e, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    Play(*e, "h1h8");  // captures the rook on h8: Black's king-side right goes
    EXPECT_EQ(e->pos.castleRights, CastleWhiteQueen | CastleBlackQueen);
    UnmakeMove(e->pos);
    Play(*e, "a1a8");
    EXPECT_EQ(e->pos.castleRights, CastleWhiteKing | CastleBlackKing);
    UnmakeMove(e->pos);
    Play(*e, "e1f1");  // any king move from e1 loses both rights
    EXPECT_EQ(e->pos.castleRights, CastleBlackKing | CastleBlackQueen);
    UnmakeMove(e->pos);
    EXPECT_EQ(e->pos.castleRights, CastleAll);
    Play(*e, "e1g1");
    EXPECT_EQ(e->pos.board[Sq("f1")], Rook);
    EXPECT_EQ(e->pos.board[Sq("h1")], Empty);
    EXPECT_EQ(e->pos.rookFileBalance[6], 1);
    Play(*e, "e8c8");
    EXPECT_EQ(e->pos.board[Sq("d8")], -Rook);
    EXPECT_EQ(e->pos.castleRights, 0);

    // A rook on its seventh rank captured lowers the count; a corner capture does not.
    SetFen(*e, "4k3/8/8/8/8/8/r7/R3K3 w - - 0 1");
    EXPECT_EQ(e->pos.black.rooksOnSeventh, 1);
    Play(*e, "a1a2");
    EXPECT_EQ(e->pos.black.rooksOnSeventh, 0);
    SetFen(*e, "r3k3/R7/8/8/8/8/8/4K3 w q - 0 1");
    Play(*e, "a7a8");
    EXPECT_EQ(e->pos.white.rooksOnSeventh, 0);
    EXPECT_EQ(e->pos.castleRights, 0);
}

TEST(MakeMove, ReversibleCountResetsOnlyOnIrreversibleMoves) {
    auto e = NewTestEngine();
    SetFen(*e, "r3k2r/p7/8/8/8/8/P7/R3K2R w KQkq - 0 1");
    Play(*e, "h1h2");  // loses a right but is reversible
    EXPECT_EQ(e->pos.currentPly->reversibleCount, 1);
    Play(*e, "e8d8");
    EXPECT_EQ(e->pos.currentPly->reversibleCount, 2);
    Play(*e, "a2a3");
    EXPECT_EQ(e->pos.currentPly->reversibleCount, 0);
    Play(*e, "h8h2");
    EXPECT_EQ(e->pos.currentPly->reversibleCount, 0);
    Play(*e, "e1c1");
    EXPECT_EQ(e->pos.currentPly->reversibleCount, 0);
    Play(*e, "d8e8");
    EXPECT_EQ(e->pos.currentPly->reversibleCount, 1);
}

TEST(MakeMove, PromotionWithCaptureBalancesAndUndo) {
    auto e = NewTestEngine();
    SetFen(*e, "1r2k3/P7/8/8/8/8/8/4K3 w - - 0 1");
    int before = e->pos.materialBalance;
    Play(*e, "a7b8q");
    EXPECT_EQ(e->pos.materialBalance - before, (9500 - 900) + 5000);
    EXPECT_EQ(e->pos.white.queenCount, 1);
    EXPECT_EQ(e->pos.white.pawnCount, 0);
    EXPECT_EQ(e->pos.black.rookCount, 0);
    UnmakeMove(e->pos);
    EXPECT_EQ(CheckPosition(e->pos), "");
    EXPECT_EQ(e->pos.materialBalance, before);
    Play(*e, "a7b8n");  // underpromotion: knight placement and knight attacks follow
    EXPECT_EQ(e->pos.knightPlacement, knightSquareValue[Sq("b8")]);
    EXPECT_EQ(e->pos.white.kingKnightAttacks[Sq("c6")], 1);
}

TEST(MakeMove, KeysIgnoreCastlingAndEnPassant) {
    auto a = NewTestEngine();
    auto b = NewTestEngine();
    SetFen(*a, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    SetFen(*b, "r3k2r/8/8/8/8/8/8/R3K2R w - - 0 1");
    EXPECT_EQ(a->pos.hashKey, b->pos.hashKey);
    // Transposed move orders reach the same keys.
    SetFen(*a, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    Play(*a, "a1b1");
    Play(*a, "h8g8");
    Play(*b, "a1b1");
    Play(*b, "h8g8");
    EXPECT_EQ(a->pos.hashKey, b->pos.hashKey);
    EXPECT_NE(a->pos.castleRights, b->pos.castleRights);
}
