// Strength levels: the mapping from the settings to a level, the level's node budget and
// pick width, and the pick among the root lines.
#include "search/strength.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iterator>

#include "search/score.h"

// The Elo of levels, measured against stockfish's own limited strength at 10 s + 1 s:
// level 0 about 1250 and level 3.3 about 1210 (one and two plies deep in their games, yet
// alike within the error bars, so the bottom is taken as flat), level 10 about 1700,
// level 17.5 about 1860, full strength about 2000.
// Piecewise linear between these knots, which must rise together.
static constexpr int32_t eloKnots[] = {1230, 1240, 1702, 1862, StrengthEloMax};
static constexpr double levelKnots[] = {0, 3.3, 10, 17.5, MaxSkillLevel};
static_assert(std::size(eloKnots) == std::size(levelKnots));

// The node budget doubles every NodeDoublingLevels levels from LevelZeroNodes at level 0.
static constexpr double LevelZeroNodes = 300;
static constexpr double NodeDoublingLevels = 1.6;

// The pick's widest gap: GapAtZero at level 0, shrinking in step to GapAtTop at level 20.
static constexpr int32_t GapAtZero = 1500;  // a pawn and a half
static constexpr int32_t GapAtTop = 100;    // a tenth of a pawn

// splitmix64: a fast, well-mixed step through 64-bit words, the same on every platform.
static uint64_t SplitMix(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double LevelOfElo(int32_t elo) {
    if (elo <= eloKnots[0])
        return levelKnots[0];
    for (size_t i = 1; i < std::size(eloKnots); i++)
        if (elo < eloKnots[i])
            return levelKnots[i - 1] + (levelKnots[i] - levelKnots[i - 1]) * (elo - eloKnots[i - 1])
                                           / (eloKnots[i] - eloKnots[i - 1]);
    return MaxSkillLevel;
}

void UpdateStrengthLevel(Strength& st) {
    st.level = st.limit ? LevelOfElo(st.elo) : std::clamp<double>(st.skill, 0, MaxSkillLevel);
}

void NewGameSeed(Strength& st, uint64_t clockSeed) {
    st.gameSeed = st.seed != 0 ? st.seed : clockSeed;
}

uint64_t ClockSeed() {
    return uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
}

int64_t LevelNodes(double level) {
    return int64_t(LevelZeroNodes * std::exp2(level / NodeDoublingLevels));
}

int32_t LevelGap(double level) {
    return int32_t(GapAtZero - (GapAtZero - GapAtTop) * level / MaxSkillLevel);
}

int PickLine(const int32_t* scores, int count, double level, uint64_t random) {
    const int32_t best = scores[0];
    if (count <= 1 || level >= MaxSkillLevel || best > MateBound || best < -MateBound)
        return 0;
    const int32_t gap = LevelGap(level);
    int chosen = 0;
    int64_t chosenValue = best + int64_t(SplitMix(random) % uint64_t(gap + 1));
    for (int i = 1; i < count; i++) {
        if (scores[i] < best - gap || scores[i] < -MateBound)
            break;
        const int64_t value = scores[i] + int64_t(SplitMix(random) % uint64_t(gap + 1));
        if (value > chosenValue) {
            chosen = i;
            chosenValue = value;
        }
    }
    return chosen;
}

uint64_t StrengthRandom(uint64_t gameSeed, uint64_t key) {
    uint64_t state = gameSeed ^ key;
    return SplitMix(state);
}
