// Strength levels: the mapping from the settings, the pick among the root lines, and
// limited searches (legal, within their budget, reproducible for a seed, full strength
// untouched).
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "board/movegen.h"
#include "notation/movetext.h"
#include "search/driver.h"
#include "search/score.h"
#include "search/strength.h"
#include "search/tables.h"
#include "support.h"

namespace {

// An engine at the given level that searches every position (no book) and reports nothing.
std::unique_ptr<Engine> NewLevelEngine(double level, uint64_t seed) {
    auto e = NewTestEngine();
    e->book.useBook = 0;
    e->search.report = nullptr;
    e->search.strength.level = level;
    e->search.strength.gameSeed = seed;
    return e;
}

// Searches to depth (the level's node budget may end it sooner) and returns the move.
std::string LimitedMove(Engine& e, int depth = 30) {
    e.search.searchDepth = depth;
    const Move m = IterativeDeepening(e);
    EXPECT_EQ(CheckPosition(e.pos), "");
    EXPECT_EQ(e.pos.currentPly, e.pos.rootPly);
    EXPECT_EQ(e.search.multiPv, 1);
    EXPECT_EQ(e.search.strengthNodes, 0);
    return MoveFrom(m) ? MoveToCoordinate(m) : "none";
}

// The positions of the project's two suites, tests/data/positions.epd and mates.epd.
std::vector<std::string> SuiteFens() {
    std::vector<std::string> fens = ReadEpdFens(TestDataPath("positions.epd"));
    for (const std::string& fen : ReadEpdFens(TestDataPath("mates.epd")))
        fens.push_back(fen);
    return fens;
}

// The mean score lost against the best line over many draws at level.
double MeanLoss(const std::vector<int32_t>& scores, double level) {
    int64_t lost = 0;
    constexpr int Draws = 10000;
    for (int i = 0; i < Draws; i++) {
        const int k = PickLine(scores.data(), int(scores.size()), level, StrengthRandom(1234, i));
        lost += scores[0] - scores[k];
    }
    return double(lost) / Draws;
}

TEST(StrengthLevel, SettingsMakeTheLevel) {
    Strength st;
    UpdateStrengthLevel(st);
    EXPECT_FALSE(StrengthLimited(st));  // a new engine plays at full strength
    st.skill = 7;
    UpdateStrengthLevel(st);
    EXPECT_EQ(st.level, 7);
    st.limit = true;  // the Elo decides, the skill does not
    st.elo = StrengthEloMax;
    UpdateStrengthLevel(st);
    EXPECT_FALSE(StrengthLimited(st));
    st.elo = StrengthEloMin;  // above level 0, which plays weaker than the lowest Elo
    UpdateStrengthLevel(st);
    EXPECT_GT(st.level, 0);
    EXPECT_LT(st.level, MaxSkillLevel / 2);
    // Monotone between the ends, clamped outside them; budgets and gaps follow the level.
    double previous = -1;
    for (int elo = StrengthEloMin - 200; elo <= StrengthEloMax + 200; elo += 25) {
        const double level = LevelOfElo(elo);
        EXPECT_GE(level, 0);
        EXPECT_LE(level, MaxSkillLevel);
        EXPECT_GE(level, previous) << elo;
        previous = level;
    }
    for (int level = 1; level < MaxSkillLevel; level++) {
        EXPECT_GT(LevelNodes(level), LevelNodes(level - 1));
        EXPECT_LT(LevelGap(level), LevelGap(level - 1));
    }
}

TEST(StrengthLevel, SeedSettingOrClock) {
    Strength st;
    NewGameSeed(st, 99);
    EXPECT_EQ(st.gameSeed, 99u);
    st.seed = 5;
    NewGameSeed(st, 99);
    EXPECT_EQ(st.gameSeed, 5u);
    EXPECT_EQ(StrengthRandom(5, 77), StrengthRandom(5, 77));
    EXPECT_NE(StrengthRandom(5, 77), StrengthRandom(6, 77));
    EXPECT_NE(StrengthRandom(5, 77), StrengthRandom(5, 78));
}

TEST(StrengthPick, StaysWithinTheGapAndKeepsMates) {
    const std::vector<int32_t> close = {300, 250, 200, -3000};
    for (uint64_t r = 0; r < 2000; r++) {
        EXPECT_EQ(PickLine(close.data(), 4, MaxSkillLevel, r), 0);
        EXPECT_EQ(PickLine(close.data(), 1, 0, r), 0);
        EXPECT_LT(PickLine(close.data(), 4, 0, r), 3);  // 3.3 pawns below the best: never
        const std::vector<int32_t> mate = {MateScore - 3, 200, 190, 180};
        EXPECT_EQ(PickLine(mate.data(), 4, 0, r), 0);
        const std::vector<int32_t> mated = {100, 90, 3 - MateScore, 2 - MateScore};
        EXPECT_LT(PickLine(mated.data(), 4, 0, r), 2);
        const std::vector<int32_t> lost = {5 - MateScore, 4 - MateScore};
        EXPECT_EQ(PickLine(lost.data(), 2, 0, r), 0);
    }
    // The same random word gives the same pick.
    EXPECT_EQ(PickLine(close.data(), 4, 3, 42), PickLine(close.data(), 4, 3, 42));
}

TEST(StrengthPick, LowerLevelsLoseMoreOnAverage) {
    // Draws are pure functions of the random words, so the means are fixed numbers.
    const std::vector<int32_t> lines = {200, 150, -100, -400};
    double previous = MeanLoss(lines, 0);
    EXPECT_GT(previous, 80);
    for (int level : {4, 8, 12, 16, 19}) {
        const double loss = MeanLoss(lines, level);
        EXPECT_LT(loss, previous) << level;
        previous = loss;
    }
    EXPECT_LT(previous, 30);
    EXPECT_GT(MeanLoss(lines, 19), 0);  // even the top limited level errs now and then
}

TEST(StrengthSearch, LegalMovesWithinTheBudgetFromEveryPosition) {
    auto e = NewLevelEngine(0, 1);
    for (const std::string& fen : SuiteFens()) {
        SetFen(*e, fen);
        GenerateMoves(e->pos);
        if (e->pos.currentPly->moveCount < 2)
            continue;
        const std::string move = LimitedMove(*e);
        GenerateMoves(e->pos);
        EXPECT_TRUE(IsLegal(*e, ParseMove(*e, move.c_str()))) << fen << " " << move;
        // The budget is counted at the search's checks, every few thousand nodes at most.
        EXPECT_LE(e->pos.nodeCount, LevelNodes(0) + 4096) << fen;
    }
}

TEST(StrengthSearch, SameSeedSameMovesOtherSeedsOtherMoves) {
    const std::vector<std::string> fens = SuiteFens();
    std::vector<std::string> first;
    for (int run = 0; run < 2; run++) {
        auto e = NewLevelEngine(2, 7);
        std::vector<std::string> moves;
        for (const std::string& fen : fens) {
            SetFen(*e, fen);
            moves.push_back(LimitedMove(*e));
        }
        if (run == 0)
            first = moves;
        else
            EXPECT_EQ(moves, first);
    }
    int differing = 0;
    for (uint64_t seed = 8; seed < 12; seed++) {
        auto e = NewLevelEngine(2, seed);
        for (size_t i = 0; i < fens.size(); i++) {
            SetFen(*e, fens[i]);
            differing += LimitedMove(*e) != first[i];
        }
    }
    EXPECT_GT(differing, 0);
}

TEST(StrengthSearch, SeveralReasonableMovesAreAllPlayed) {
    // After 1 e4 e5 many developing moves are about equal: seeds spread over them.
    std::set<std::string> moves;
    for (uint64_t seed = 1; seed <= 12; seed++) {
        auto e = NewLevelEngine(4, seed);
        SetFen(*e, "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2");
        moves.insert(LimitedMove(*e));
    }
    EXPECT_GE(moves.size(), 2u);
}

TEST(StrengthSearch, FullStrengthSearchesAsBefore) {
    auto full = NewLevelEngine(MaxSkillLevel, 3);
    auto plain = NewTestEngine();
    plain->book.useBook = 0;
    plain->search.report = nullptr;
    for (Engine* e : {full.get(), plain.get()})
        SetFen(*e, "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP2BPPP/R2QKB1R w KQ - 0 9");
    EXPECT_EQ(LimitedMove(*full, 6), LimitedMove(*plain, 6));
    EXPECT_EQ(full->pos.nodeCount, plain->pos.nodeCount);
}

}  // namespace
