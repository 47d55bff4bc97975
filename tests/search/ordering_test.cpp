// Move ordering: capture keys, the hash move, bad captures, the quiescence filter, history
// and killers.
#include <gtest/gtest.h>

#include "board/geometry.h"
#include "search/exchange.h"
#include "search/ordering.h"
#include "support.h"

namespace {

// The list entry of a move of the current position, or nullptr.
const MoveListEntry* EntryOf(Engine& e, int from, int to) {
    const PlyRecord* r = e.pos.currentPly;
    for (int i = 0; i < r->moveCount; i++)
        if (r->moves[i].from == from && r->moves[i].to == to)
            return &r->moves[i];
    return nullptr;
}

int KeyOf(Engine& e, int from, int to) {
    const MoveListEntry* m = EntryOf(e, from, to);
    EXPECT_NE(m, nullptr) << from << "-" << to;
    return m ? m->key : 0;
}

TEST(Ordering, CaptureKeysByVictimAndAttacker) {
    auto e = NewTestEngine();
    // Black queen d5 guarded by the pawn e6; White pawn e4 and queen d1 can take it.
    SetFen(*e, "4k3/8/4p3/3q4/4P3/8/8/3QK3 w - -");
    OrderMoves(*e, 0, true, 0);
    EXPECT_EQ(KeyOf(*e, 64, 55), 312600);  // exd5: 32 x 9500 + 9500 - 900
    EXPECT_EQ(KeyOf(*e, 51, 55), 304000);  // Qxd5: 32 x 9500 + 0
    EXPECT_EQ(e->pos.currentPly->moves[0].from, 64);
    // Unguarded, either capture is worth 32 x 9500 + 9500; the queen also leaves the square
    // the enemy queen attacks for one it does not.
    SetFen(*e, "4k3/8/8/3q4/4P3/8/8/3QK3 w - -");
    OrderMoves(*e, 0, true, 0);
    EXPECT_EQ(KeyOf(*e, 64, 55), 313500);
    EXPECT_EQ(KeyOf(*e, 51, 55), 313500 + 10000);
}

TEST(Ordering, HashMoveGoesFirstAgainstAnyCapture) {
    auto e = NewTestEngine();
    SetFen(*e, "4k3/8/4p3/3q4/4P3/8/8/3QK3 w - -");
    int movesLeft = 0;
    OrderMoves(*e, 0, true, MakeMoveValue(61, 72));  // Ke1-f2
    const MoveListEntry& first = e->pos.currentPly->moves[0];
    EXPECT_EQ(first.from, 61);
    EXPECT_EQ(first.to, 72);
    movesLeft = e->pos.currentPly->movesLeft;
    EXPECT_EQ(movesLeft, e->pos.currentPly->moveCount);
}

TEST(Ordering, GuardedPawnTakenByALoneQueenIsBad) {
    auto e = NewTestEngine();
    SetFen(*e, "4k3/8/4p3/3p4/8/8/8/3QK3 w - -");
    OrderMoves(*e, 0, true, 0);
    EXPECT_EQ(KeyOf(*e, 51, 55), -1);
    // With a rook behind the queen the capture is backed up.
    SetFen(*e, "4k3/8/4p3/3p4/8/8/3Q4/3RK3 w - -");
    OrderMoves(*e, 0, true, 0);
    EXPECT_EQ(KeyOf(*e, 52, 55), 32 * 900 + 9500 - 9500);
}

TEST(Ordering, QuiescenceFilterDropsLosingCapturesButKeepsPushes) {
    auto e = NewTestEngine();
    SetFen(*e, "4k3/8/P3p3/3p4/8/8/8/3QK3 w - -");
    OrderMoves(*e, 1, false, 0);
    const MoveListEntry* qxd5 = EntryOf(*e, 51, 55);
    ASSERT_NE(qxd5, nullptr);
    EXPECT_EQ(qxd5->excluded, 1);
    EXPECT_EQ(qxd5->key, -608000);
    const MoveListEntry* push = EntryOf(*e, 26, 27);  // a6-a7
    ASSERT_NE(push, nullptr);
    EXPECT_EQ(push->excluded, 0);
    // Quiet king and queen moves are dropped too; only the push is left.
    EXPECT_EQ(e->pos.currentPly->movesLeft, 1);
    EXPECT_EQ(e->pos.currentPly->moves[0].from, 26);
}

TEST(Ordering, QuiescenceFilterAgreesWithTheExchangeAndThreatTests) {
    const char* fens[] = {
        "r1bqk2r/ppp2ppp/2n2n2/3pp3/1bPP4/2N1PN2/PP3PPP/R1BQKB1R w KQkq -",
        "6k1/5ppp/8/3N4/8/8/1Q3PPP/1R4K1 w - -",
        "r3k2r/1P3ppp/8/3pP3/8/2n5/5PPP/R3K2R w KQkq d6",
        "2r3k1/1q3ppp/8/8/2n5/8/5PPP/3RR1K1 b - -",
    };
    for (const char* fen : fens) {
        for (int level = 0; level < 3; level++) {
            for (int margin : {1, 900, 3001, 9000}) {
                auto e = NewTestEngine();
                SetFen(*e, fen);
                e->search.searchDepth = 4;
                e->pos.effectivePly = 4 + level;
                OrderMoves(*e, margin, false, 0);
                const PlyRecord* r = e->pos.currentPly;
                bool white = e->pos.whiteToMove;
                for (int i = 0; i < r->moveCount; i++) {
                    const MoveListEntry& m = r->moves[i];
                    Move move = EntryMove(m);
                    int mover = e->pos.board[m.from];
                    bool pawn = mover == (white ? Pawn : -Pawn);
                    bool keep = CaptureGainTest(*e, move, margin)
                             || (pawn && rankOf[m.to] == (white ? 8 : 1)
                                 && m.promotion == (white ? Queen : -Queen))
                             || (pawn && rankOf[m.to] == (white ? 7 : 2))
                             || (pawn && m.to == e->pos.epSquare && e->pos.epSquare)
                             || QuiescenceThreatTest(*e, move, margin);
                    EXPECT_EQ(m.excluded, keep ? 0 : 1) << fen << " " << int(m.from) << "-"
                                                        << int(m.to) << " margin " << margin;
                }
            }
        }
    }
}

TEST(Ordering, HistoryBonusesForTheTopThreeQuietMoves) {
    auto e = NewTestEngine();
    HistoryCounter(e->search, 0, 62, 64) = 5;  // e2-e4
    HistoryCounter(e->search, 0, 52, 54) = 3;  // d2-d4
    HistoryCounter(e->search, 0, 32, 33) = 3;  // b2-b3
    HistoryCounter(e->search, 0, 81, 73) = 7;  // g1-f3
    OrderMoves(*e, 0, true, 0);
    EXPECT_EQ(KeyOf(*e, 81, 73), 100);
    EXPECT_EQ(KeyOf(*e, 62, 64), 99);
    EXPECT_EQ(KeyOf(*e, 32, 33), 98);  // generated before d2-d4, so it keeps the place
    EXPECT_EQ(KeyOf(*e, 52, 54), 0);
    EXPECT_EQ(KeyOf(*e, 22, 23), 0);   // counter 0: no bonus
}

TEST(Ordering, PickNextMoveTakesTheFirstOfEqualKeys) {
    auto e = NewTestEngine();
    OrderMoves(*e, 0, true, 0);
    MoveListEntry* list = e->pos.currentPly->moves;
    for (int i = 0; i < e->pos.currentPly->moveCount; i++)
        list[i].key = i % 3;
    list[7].key = 50;
    PickNextMove(*e, 1);
    EXPECT_EQ(list[1].key, 50);
    PickNextMove(*e, 2);
    EXPECT_EQ(list[2].key, 2);
    EXPECT_EQ(list[2].from, 32);  // b2-b3, index 2 of the generated order, keeps its place
}

TEST(Ordering, GoodMovesFeedHistoryAndKillers) {
    auto e = NewTestEngine();
    SetFen(*e, "4k3/8/4p3/3q4/4P3/8/8/3QK3 w - -");
    PlyRecord* r = e->pos.currentPly;
    RecordGoodMove(*e, MakeMoveValue(64, 55));  // a capture: nothing changes
    EXPECT_EQ(HistoryCounter(e->search, 0, 64, 55), 0u);
    EXPECT_EQ(r->killerMove[0].from, 0);

    Move kf2 = MakeMoveValue(61, 72), ke2 = MakeMoveValue(61, 62), qd2 = MakeMoveValue(51, 52);
    RecordGoodMove(*e, kf2);  // counters equal: slot 2 is replaced
    EXPECT_EQ(r->killerMove[1].to, 72);
    EXPECT_EQ(HistoryCounter(e->search, 0, 61, 72), 1u);
    RecordGoodMove(*e, kf2);
    EXPECT_EQ(r->killerHits[1], 1);
    RecordGoodMove(*e, ke2);  // slot 1 has the smaller counter
    EXPECT_EQ(r->killerMove[0].to, 62);
    RecordGoodMove(*e, ke2);
    RecordGoodMove(*e, ke2);
    RecordGoodMove(*e, qd2);  // slot 2 (1 hit) is below slot 1 (2 hits)
    EXPECT_EQ(r->killerMove[1].from, 51);
    EXPECT_EQ(r->killerHits[1], 0);
    // A killer earns its bonus in the ordering.
    OrderMoves(*e, 0, true, 0);
    EXPECT_EQ(KeyOf(*e, 61, 62), 2000 + 100);
}

TEST(Ordering, SquareDefendersOfTheLastArrival) {
    auto e = NewTestEngine();
    SetFen(*e, "4k3/8/8/3p4/8/8/8/4K3 w - -");
    e->pos.currentPly->to = 55;  // as if Black had just played to d5
    OrderMoves(*e, 0, true, 0);
    EXPECT_EQ(e->pos.currentPly->squareDefenders, 0);
    SetFen(*e, "4k3/8/2pq4/3p4/8/8/8/4K3 w - -");
    e->pos.currentPly->to = 55;
    OrderMoves(*e, 0, true, 0);
    EXPECT_EQ(e->pos.currentPly->squareDefenders, 2);  // the queen d6 and the pawn c6
}

}  // namespace
