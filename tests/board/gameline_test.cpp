// The game line: playing, taking back and replaying game moves, and games of any length.
#include <gtest/gtest.h>

#include <vector>

#include "board/gameline.h"
#include "board/geometry.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/reference.h"
#include "search/draw.h"
#include "support.h"

TEST(GameLine, TakeBackAndReplay) {
    auto e = NewTestEngine();
    Position& p = e->pos;
    EXPECT_EQ(GameTakeBack(e->pos, 1), 0);  // nothing to take back at record 0
    for (const char* m : {"e2e4", "e7e5", "g1f3"})
        GameMakeMove(e->pos, Find(*e, m));
    EXPECT_EQ(p.gamePly, 3);
    EXPECT_EQ(p.rootPly, p.currentPly);
    EXPECT_EQ(p.lastGamePly, p.currentPly);
    uint64_t afterThree = p.hashKey;
    EXPECT_EQ(GameTakeBack(e->pos, 4), 0);
    EXPECT_EQ(GameTakeBack(e->pos, 2), 2);
    EXPECT_EQ(p.gamePly, 1);
    EXPECT_EQ(p.rootPly, p.currentPly);
    EXPECT_EQ(CheckPosition(e->pos), "");
    EXPECT_EQ(GeneratedMoves(*e), ReferenceMoves(p));
    EXPECT_EQ(GameTakeBack(e->pos, -3), 0);  // only two plies can be replayed
    EXPECT_EQ(GameTakeBack(e->pos, -2), -2);
    EXPECT_EQ(p.hashKey, afterThree);
    EXPECT_EQ(p.gamePly, 3);
    // A new move after a take-back cuts the old continuation off.
    EXPECT_EQ(GameTakeBack(e->pos, 1), 1);
    GameMakeMove(e->pos, Find(*e, "b1c3"));
    EXPECT_EQ(GameTakeBack(e->pos, -1), 0);
    GameMakeMove(e->pos, 0);  // a null move is no game move
    EXPECT_EQ(p.gamePly, 3);
}

// The position facts the repetition rule compares, kept for a whole game.
struct HistoryEntry {
    uint64_t key;
    uint8_t castleRights, epSquare;
    bool irreversible;  // the move that led here was a capture or a pawn move
};

// Plies since the last irreversible move, from the full history.
static int ReferenceReversible(const std::vector<HistoryEntry>& h) {
    int n = 0;
    for (size_t i = h.size() - 1; i > 0 && !h[i].irreversible; i--)
        n++;
    return n;
}

// Earlier occurrences of the last position since the last irreversible move, at least four
// plies back, from the full history.
static int ReferenceRepetitions(const std::vector<HistoryEntry>& h) {
    int last = int(h.size()) - 1;
    int matches = 0;
    for (int i = last; i >= 2; i -= 2) {
        if (h[size_t(i)].irreversible || h[size_t(i - 1)].irreversible)
            break;
        const HistoryEntry& old = h[size_t(i - 2)];
        if (last - (i - 2) >= 4 && old.key == h[size_t(last)].key
            && old.castleRights == h[size_t(last)].castleRights
            && old.epSquare == h[size_t(last)].epSquare)
            matches++;
    }
    return matches;
}

// 2000 plies of knights shuffling, with a pawn step every 67 plies (the sides taking turns)
// so that the fifty-move count never ends the cycles: the line
// is moved down the ply stack again and again, and the draw rule agrees at every ply with
// counts over the whole game, also right after each move down.
TEST(GameLine, LongGameKeepsRepetitionsRight) {
    auto e = NewTestEngine();
    Position& p = e->pos;
    SetFen(*e, "5k2/4p1pp/8/3n4/3N4/8/PPP5/K7 w - - 0 1");
    std::vector<HistoryEntry> history{{p.hashKey, p.castleRights, p.epSquare, true}};
    int compactions = 0, repetitionsAtCompaction = 0, repetitionPlies = 0;
    for (int ply = 0; ply < 2000; ply++) {
        const PlyRecord* r = p.currentPly;
        Move move = 0;
        if (ply % 67 == 0) {
            for (int i = 0; i < r->moveCount && !move; i++) {
                const MoveListEntry& m = r->moves[i];
                bool pawn = p.board[m.from] == Pawn || p.board[m.from] == -Pawn;
                int step = m.to - m.from;
                if (pawn && (step == 1 || step == -1) && rankOf[m.to] != 1 && rankOf[m.to] != 8)
                    move = EntryMove(m);
            }
        }
        if (!move) {
            const char* shuffle = p.whiteToMove ? (p.board[Sq("d4")] ? "d4f3" : "f3d4")
                                                : (p.board[Sq("d5")] ? "d5f6" : "f6d5");
            move = Find(*e, shuffle);
            ASSERT_NE(move, 0u) << shuffle << " at ply " << ply;
        }
        bool irreversible = p.board[MoveFrom(move)] == Pawn || p.board[MoveFrom(move)] == -Pawn;
        PlyRecord* before = p.currentPly;
        GameMakeMove(e->pos, move);
        history.push_back({p.hashKey, p.castleRights, p.epSquare, irreversible});
        ASSERT_EQ(CheckPosition(e->pos), "") << ply;
        ASSERT_EQ(p.rootPly, p.currentPly);
        ASSERT_EQ(p.gamePly, int(p.currentPly - p.plyStack));
        ASSERT_LE(p.currentPly - p.plyStack, PlyStackSize - SearchReservePlies);
        ASSERT_TRUE(HasRoomForPly(e->pos));
        int reversible = ReferenceReversible(history);
        int repetitions = ReferenceRepetitions(history);
        ASSERT_EQ(p.currentPly->reversibleCount, reversible) << ply;
        bool fifty = reversible >= 102;
        ASSERT_EQ(IsDraw(*e, 1), fifty || repetitions >= 1) << ply;
        ASSERT_EQ(IsDraw(*e, 2), fifty || repetitions >= 2) << ply;
        repetitionPlies += repetitions > 0;
        if (p.currentPly <= before) {
            compactions++;
            repetitionsAtCompaction += repetitions > 0;
        }
    }
    EXPECT_GE(compactions, 3);
    EXPECT_GE(repetitionsAtCompaction, 1);
    EXPECT_GT(repetitionPlies, 1000);
    // Take-backs work within the kept window and stop at its bottom.
    int kept = int(p.currentPly - p.plyStack);
    EXPECT_EQ(GameTakeBack(e->pos, kept + 1), 0);
    EXPECT_EQ(GameTakeBack(e->pos, kept), kept);
    EXPECT_EQ(CheckPosition(e->pos), "");
    EXPECT_EQ(GeneratedMoves(*e), ReferenceMoves(p));
    EXPECT_EQ(GameTakeBack(e->pos, -kept), -kept);
    EXPECT_EQ(p.hashKey, history.back().key);
}

// Eight queens make long lists: the move area, not the ply stack, forces the line down, and
// the search always finds its reserve of entries above the game position.
TEST(GameLine, LongListsMoveTheLineDownEarlier) {
    auto e = NewTestEngine();
    Position& p = e->pos;
    SetFen(*e, "6nk/6pp/8/8/Q1Q5/1Q1Q4/Q1Q5/1Q1Q2K1 w - - 0 1");
    const char* cycle[] = {"g1f1", "g8f6", "f1g1", "f6g8"};
    int firstMoveDown = 0;
    for (int ply = 0; ply < 600; ply++) {
        PlyRecord* before = p.currentPly;
        Move m = Find(*e, cycle[ply % 4]);
        ASSERT_NE(m, 0u) << ply;
        GameMakeMove(e->pos, m);
        if (p.currentPly <= before && !firstMoveDown)
            firstMoveDown = ply + 1;
        const PlyRecord* r = p.currentPly;
        ASSERT_LE((r->moves + r->moveCount) - p.moveArea, MoveAreaSize - SearchReserveEntries);
        ASSERT_TRUE(HasRoomForPly(e->pos));
        ASSERT_EQ(CheckPosition(e->pos), "");
    }
    EXPECT_GT(firstMoveDown, 0);
    EXPECT_LT(firstMoveDown, PlyStackSize - SearchReservePlies);
    EXPECT_EQ(GeneratedMoves(*e), ReferenceMoves(p));
}
