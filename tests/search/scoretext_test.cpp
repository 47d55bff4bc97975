// Score text and the principal-variation table.
#include <gtest/gtest.h>

#include <string>

#include "search/pv.h"
#include "search/scoretext.h"
#include "support.h"

namespace {

// Describes a score as the search would leave it with the given side to move.
std::string Describe(Engine& e, int score, bool whiteToMove, int rootMoves = 20) {
    e.pos.whiteToMove = whiteToMove;
    e.search.lastScore = score;
    e.search.rootMoveCount = rootMoves;
    SetScoreText(e, nullptr);
    return ScoreText(e);
}

TEST(ScoreText, MatesInMovesForInterfaces) {
    EXPECT_EQ(MateMoves(999999), 1);     // mate in one found at the root
    EXPECT_EQ(MateMoves(999997), 2);     // mated three plies on
    EXPECT_EQ(MateMoves(-999998), -1);   // the opponent mates with its next move
    EXPECT_EQ(MateMoves(-999996), -2);
    EXPECT_EQ(MateMoves(999901), 50);
    EXPECT_TRUE(IsMateScore(999901));
    EXPECT_TRUE(IsMateScore(-999901));
    EXPECT_FALSE(IsMateScore(999900));
    EXPECT_FALSE(IsMateScore(-999900));
    EXPECT_FALSE(IsMateScore(0));
}

TEST(ScoreText, AdvantageAndMates) {
    auto e = NewTestEngine();
    EXPECT_EQ(Describe(*e, 900, true), "White by 0.9");
    EXPECT_EQ(Describe(*e, -4500, true), "Black by 4.5");
    EXPECT_EQ(Describe(*e, -4500, false), "White by 4.5");
    EXPECT_EQ(Describe(*e, 0, false), "Equal");
    EXPECT_EQ(Describe(*e, 999999, true), "White mates in 1");
    EXPECT_EQ(Describe(*e, -999998, true), "Black mates in 1");
    EXPECT_EQ(Describe(*e, 999995, false), "Black mates in 3");
    EXPECT_EQ(Describe(*e, 999901, true), "White mates in 50");
    EXPECT_EQ(Describe(*e, 999900, true), "White by 999.9");
    EXPECT_EQ(Describe(*e, 500, true, 1), "Forced move");
    SetScoreText(*e, "Book Move (small)");
    EXPECT_STREQ(ScoreText(*e), "Book Move (small)");
}

MoveListEntry Entry(int from, int to, int promotion = 0) {
    MoveListEntry m{};
    m.from = uint8_t(from);
    m.to = uint8_t(to);
    m.promotion = int8_t(promotion);
    return m;
}

TEST(PrincipalVariation, UpdateAppendsTheChildLine) {
    auto e = NewTestEngine();
    UpdatePv(*e, Entry(57, 55), 2);      // ply 2: d7-d5, line ends there
    e->search.pv[2][3].from = 0;
    UpdatePv(*e, Entry(52, 54), 1);      // ply 1: d2-d4 then the line of ply 2
    UpdatePv(*e, Entry(62, 64), 0);
    const MoveListEntry* row = e->search.pv[0];
    EXPECT_EQ(row[0].from, 62);
    EXPECT_EQ(row[1].from, 52);
    EXPECT_EQ(row[2].from, 57);
    EXPECT_EQ(row[3].from, 0);
    EmptyPvRow(*e, 2);
    UpdatePv(*e, Entry(52, 54), 1);
    EXPECT_EQ(e->search.pv[1][2].from, 0);
}

TEST(PrincipalVariation, PromotionByteKeptOnlyForPromotions) {
    auto e = NewTestEngine();
    SetFen(*e, "8/P6k/8/8/8/8/p6K/1N6 w - -");
    EmptyPvRow(*e, 1);
    UpdatePv(*e, Entry(27, 28, Queen), 0);       // a7-a8=Q keeps it
    EXPECT_EQ(e->search.pv[0][0].promotion, Queen);
    UpdatePv(*e, Entry(31, 43, Queen), 0);       // a knight move carried a stale byte
    EXPECT_EQ(e->search.pv[0][0].promotion, 0);
    UpdatePv(*e, Entry(22, 21, -Knight), 0);     // Black a2-a1=N
    EXPECT_EQ(e->search.pv[0][0].promotion, -Knight);
}

TEST(PrincipalVariation, LastRowsStayInsideTheTable) {
    auto e = NewTestEngine();
    EmptyPvRow(*e, 63);
    UpdatePv(*e, Entry(62, 64), 62);
    EXPECT_EQ(e->search.pv[62][62].from, 62);
    EXPECT_EQ(e->search.pv[62][63].from, 0);
    UpdatePv(*e, Entry(52, 54), 63);
    EXPECT_EQ(e->search.pv[63][63].from, 52);
    UpdatePv(*e, Entry(52, 54), 64);  // ignored
    EmptyPvRow(*e, 64);               // ignored
}

}  // namespace
