// The score text: "Equal", "White by 0.9", "Black mates in 2" and the like.
#include "search/scoretext.h"

#include <cstdint>
#include <cstdio>

#include "engine.h"
#include "search/score.h"

static constexpr double PawnsPerUnit = 0.001;

bool IsMateScore(int score) {
    return score > MateBound || score < -MateBound;
}

int MateMoves(int score) {
    int plies = MateScore - (score < 0 ? -score : score);
    int moves = (plies + 1) / 2;
    return score < 0 ? -moves : moves;
}

void SetScoreText(Engine& e, const char* text) {
    char* out = e.search.texts.scoreText;
    size_t size = sizeof e.search.texts.scoreText;
    if (text) {
        std::snprintf(out, size, "%s", text);
        return;
    }
    int64_t s = e.pos.whiteToMove ? int64_t(e.search.lastScore) : -int64_t(e.search.lastScore);
    int plies = int(MateScore - (s < 0 ? -s : s));
    if (e.search.rootMoveCount == 1)
        std::snprintf(out, size, "Forced move");
    else if (s == 0)
        std::snprintf(out, size, "Equal");
    else if (s > MateBound)
        std::snprintf(out, size, "White mates in %d", (plies + 1) / 2);
    else if (s < -MateBound)
        std::snprintf(out, size, "Black mates in %d", (plies + 1) / 2);
    else if (s < 0)
        std::snprintf(out, size, "Black by %.1f", -s * PawnsPerUnit);
    else
        std::snprintf(out, size, "White by %.1f", s * PawnsPerUnit);
}

const char* ScoreText(const Engine& e) { return e.search.texts.scoreText; }
