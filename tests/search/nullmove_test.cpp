// The null move leaves exactly the state of the same placement with the other side to move.
#include <gtest/gtest.h>

#include <cstring>

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/poscheck.h"
#include "search/nullmove.h"
#include "support.h"

namespace {

// Expects the attack maps, pins, mobility and move list of two engines to agree.
void ExpectSameDerivedState(const Engine& a, const Engine& b) {
    const Position& p = a.pos;
    const Position& q = b.pos;
    EXPECT_EQ(p.mobilityBalance, q.mobilityBalance);
    EXPECT_EQ(p.checkCount, q.checkCount);
    ASSERT_EQ(p.currentPly->moveCount, q.currentPly->moveCount);
    for (int i = 0; i < p.currentPly->moveCount; i++)
        EXPECT_EQ(EntryMove(p.currentPly->moves[i]), EntryMove(q.currentPly->moves[i])) << i;
    for (int side = 0; side < 2; side++) {
        const SideState& s = side ? p.black : p.white;
        const SideState& t = side ? q.black : q.white;
        EXPECT_EQ(std::memcmp(s.attacks, t.attacks, sizeof s.attacks), 0) << side;
        EXPECT_EQ(std::memcmp(s.pinDir, t.pinDir, sizeof s.pinDir), 0) << side;
        ASSERT_EQ(s.pinCount, t.pinCount) << side;
        for (int k = 0; k < s.pinCount; k++) {
            EXPECT_EQ(s.pinnedSquares[k], t.pinnedSquares[k]);
            EXPECT_EQ(s.pinnerSquares[k], t.pinnerSquares[k]);
        }
    }
}

TEST(NullMove, StateIsThatOfTheOtherSideToMove) {
    // Both sides have a pinned knight; White also has an en-passant square to lose.
    auto e = NewTestEngine();
    SetFen(*e, "4k3/3nr3/8/1B6/8/8/4N3/4K3 w - -");
    auto reference = NewTestEngine();
    SetFen(*reference, "4k3/3nr3/8/1B6/8/8/4N3/4K3 b - -");
    uint64_t key = e->pos.hashKey;
    PlyRecord* root = e->pos.currentPly;
    MakeNullMove(*e, 3);
    EXPECT_EQ(CheckPosition(e->pos), "");
    EXPECT_EQ(e->pos.searchPly, 3);
    EXPECT_EQ(e->search.nullMoveExtraPlies, 2);  // mates below count the pass as one ply
    EXPECT_EQ(e->pos.currentPly, root + 1);
    EXPECT_EQ(e->pos.currentPly->from, 0);
    EXPECT_EQ(e->pos.hashKey, reference->pos.hashKey);
    ExpectSameDerivedState(*e, *reference);
    EXPECT_EQ(e->pos.white.pinCount, 1);
    EXPECT_EQ(e->pos.black.pinCount, 1);
    UnmakeNullMove(*e, 3);
    EXPECT_EQ(e->search.nullMoveExtraPlies, 0);
    EXPECT_EQ(e->pos.hashKey, key);
    EXPECT_EQ(e->pos.searchPly, 0);
    EXPECT_EQ(e->pos.currentPly, root);
    EXPECT_TRUE(e->pos.whiteToMove);
}

TEST(NullMove, RebuiltMapsAfterThePassAreTheNodesAndItsListIsKept) {
    // The pass's moves leave maps of another placement behind; the node's list lies below
    // the pass's lists and must come through untouched.
    const char* fen = "4k3/3nr3/8/1B6/8/8/4N3/4K3 w - -";
    auto e = NewTestEngine();
    SetFen(*e, fen);
    auto reference = NewTestEngine();
    SetFen(*reference, fen);
    MakeNullMove(*e, 3);
    MakeMove(e->pos, MakeMoveValue(MakeSquare(7, 5), MakeSquare(6, 5)));  // Re7-e6
    UnmakeMove(e->pos);
    UnmakeNullMove(*e, 3);
    EXPECT_FALSE(MapsDescribeBoard(e->pos));
    EXPECT_EQ(RebuildMaps(e->pos), 0);
    EXPECT_TRUE(MapsDescribeBoard(e->pos));
    ExpectSameDerivedState(*e, *reference);
    EXPECT_EQ(e->pos.genCursor, reference->pos.genCursor - reference->pos.moveArea + e->pos.moveArea);
}

TEST(NullMove, ClearsTheEnPassantSquareAndKeepsCastling) {
    auto e = NewTestEngine();
    SetFen(*e, "r3k2r/8/8/3pP3/8/8/8/R3K2R w KQkq d6");
    e->search.searchDepth = 2;
    MakeNullMove(*e, 4);
    EXPECT_EQ(e->pos.epSquare, 0);
    EXPECT_EQ(e->pos.castleRights, CastleAll);
    EXPECT_EQ(e->pos.effectivePly, 2);  // never beyond the iteration's depth
    EXPECT_EQ(CheckPosition(e->pos), "");
    UnmakeNullMove(*e, 4);
    EXPECT_EQ(e->pos.epSquare, 56);
    EXPECT_EQ(CheckPosition(e->pos), "");
}

}  // namespace
