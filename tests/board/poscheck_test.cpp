// The consistency check names the invariant that breaks, and the test build runs it after
// every make, unmake, null move and set-up while its switch is on.
#include <gtest/gtest.h>

#include <string>

#include "board/geometry.h"
#include "board/makemove.h"
#include "search/nullmove.h"
#include "support.h"

static const char* const middlegame =
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

TEST(PositionCheck, NamesTheFirstBrokenInvariant) {
    auto e = NewTestEngine();
    SetFen(*e, middlegame);
    Position& p = e->pos;
    const Position sound = p;
    auto broken = [&](auto corrupt) {
        p = sound;
        corrupt(p);
        std::string name(CheckPosition(p));
        p = sound;
        return name;
    };
    EXPECT_EQ(broken([](Position&) {}), "");
    EXPECT_EQ(broken([](Position& q) { q.board[0] = Empty; }), "board cell 0");
    EXPECT_EQ(broken([](Position& q) { q.board[MakeSquare(4, 1)] = 9; }), "board cell 24");
    EXPECT_EQ(broken([](Position& q) { q.white.pawnSquares[0] = MakeSquare(4, 8); }),
              "White pawn list");
    EXPECT_EQ(broken([](Position& q) { q.white.pawnSquares[1] = q.white.pawnSquares[0]; }),
              "White pawn list");
    EXPECT_EQ(broken([](Position& q) { q.black.knightSquares[0] = 200; }), "Black knight list");
    EXPECT_EQ(broken([](Position& q) { q.black.rookCount--; }), "Black rook list");
    EXPECT_EQ(broken([](Position& q) { q.white.kingSquare = 250; }), "White kingSquare");
    EXPECT_EQ(broken([](Position& q) { q.board[MakeSquare(4, 8)] = -King; }), "Black king count");
    EXPECT_EQ(broken([](Position& q) { q.black.material += 1; }), "Black material");
    EXPECT_EQ(broken([](Position& q) { q.white.kingKnightAttacks[MakeSquare(5, 3)]++; }),
              "White kingKnightAttacks of square " + std::to_string(MakeSquare(5, 3)));
    EXPECT_EQ(broken([](Position& q) { q.rookFileBalance[8]++; }), "rookFileBalance of file 8");
    EXPECT_EQ(broken([](Position& q) { q.knightPlacement++; }), "knightPlacement");
    EXPECT_EQ(broken([](Position& q) { q.hashKey ^= 1; }), "hashKey");
    EXPECT_EQ(broken([](Position& q) { q.castleRights |= 1; }), "castleRights bits");
}

TEST(PositionCheck, NameWithANumberStaysUntilTheNextFailingCheck) {
    auto e = NewTestEngine();
    Position& p = e->pos;
    p.rookFileBalance[3] = 5;
    std::string_view first = CheckPosition(p);
    p.rookFileBalance[3] = 0;
    EXPECT_EQ(CheckPosition(p), "");
    EXPECT_EQ(first, "rookFileBalance of file 3");
}

#ifndef NDEBUG
// Corrupts a field that making, unmaking and passing leave alone, so that the check after
// each of them finds it.
static void CorruptMaterial(Engine& e) {
    e.pos.white.material += 1;
}

TEST(PositionCheckDeathTest, MakeUnmakeAndNullMovesAreChecked) {
    auto e = NewTestEngine();
    CorruptMaterial(*e);
    EXPECT_DEATH(MakeMove(e->pos, EntryMove(e->pos.currentPly->moves[0])),
                 "inconsistent after MakeMove: White material");
    EXPECT_DEATH(MakeNullMove(*e, 1), "inconsistent after MakeNullMove: White material");
    {
        PositionChecksOff off;
        MakeMove(e->pos, EntryMove(e->pos.currentPly->moves[0]));
    }
    EXPECT_DEATH(UnmakeMove(e->pos), "inconsistent after UnmakeMove: White material");
    {
        PositionChecksOff off;
        MakeNullMove(*e, 1);
    }
    EXPECT_DEATH(UnmakeNullMove(*e, 1), "inconsistent after UnmakeNullMove: White material");
}

TEST(PositionCheck, SwitchedOffTheCheckLetsAnInconsistentPositionPass) {
    auto e = NewTestEngine();
    CorruptMaterial(*e);
    PositionChecksOff off;
    EXPECT_FALSE(PositionChecks());
    MakeMove(e->pos, EntryMove(e->pos.currentPly->moves[0]));
    UnmakeMove(e->pos);
    EXPECT_EQ(CheckPosition(e->pos), "White material");
}
#endif

TEST(PositionCheck, SwitchComesBackWhenTheScopeEnds) {
    EXPECT_TRUE(PositionChecks());
    {
        PositionChecksOff off;
        EXPECT_FALSE(PositionChecks());
        {
            PositionChecksOff inner;
        }
        EXPECT_FALSE(PositionChecks());
    }
    EXPECT_TRUE(PositionChecks());
}
