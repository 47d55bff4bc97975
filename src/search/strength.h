// Playing strength below the engine's full strength. One level, 0 to 20, sets how many
// nodes a move may search and how widely the move is drawn from the best root lines; 20 is
// full strength and leaves every search as it is.
#pragma once

#include <cstdint>

constexpr int MaxSkillLevel = 20;       // the top of "Skill Level": full strength
constexpr int StrengthEloMin = 1400;    // the lowest Elo the levels were measured at
constexpr int StrengthEloMax = 2000;    // full strength on the same scale
constexpr int StrengthLines = 4;        // root lines a limited search compares

// The strength settings as the interfaces set them, and the level they make.
struct Strength {
    bool limit = false;             // "UCI_LimitStrength": elo decides, else skill does
    int32_t elo = StrengthEloMax;   // "UCI_Elo", StrengthEloMin..StrengthEloMax
    int32_t skill = MaxSkillLevel;  // "Skill Level", 0..MaxSkillLevel
    uint32_t seed = 0;              // "Seed": 0 draws each game's seed from the clock
    double level = MaxSkillLevel;   // the level searches play at, from the settings above
    uint64_t gameSeed = 0;          // the seed of the current game
};

// Recomputes st.level from the limit, the Elo and the skill.
void UpdateStrengthLevel(Strength& st);

// True when searches play below full strength.
inline bool StrengthLimited(const Strength& st) {
    return st.level < MaxSkillLevel;
}

// Starts a game's randomness: the Seed setting when it is not 0, else clockSeed.
void NewGameSeed(Strength& st, uint64_t clockSeed);

// A seed from the clock, different at each call.
uint64_t ClockSeed();

// The level of an Elo, clamped to the measured range (the top is full strength).
double LevelOfElo(int32_t elo);

// The nodes a move may search at level (below full strength).
int64_t LevelNodes(double level);

// The widest score gap, in internal units, below the best line that a pick may accept.
int32_t LevelGap(double level);

// Picks a line from scores (best first, count of them) at level: each line within the
// level's gap of the best draws a bonus up to that gap from random, and the highest total
// wins. The best line stays the pick at full strength, for a found mate, and against any
// line that gets mated.
int PickLine(const int32_t* scores, int count, double level, uint64_t random);

// The random word of a position: the same game seed and hash key always give the same.
uint64_t StrengthRandom(uint64_t gameSeed, uint64_t key);
