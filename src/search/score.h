// Score constants of the search, in units where a pawn is 900.
#pragma once

constexpr int Infinity = 2000000000;        // start of best; the widest window
constexpr int MateScore = 1000000;          // being mated at searchPly p scores p - MateScore
constexpr int RootMateScore = 999999;       // a mate in one found at the root
constexpr int MateThreatBound = -999900;    // a null-move score below this: mate threatened
constexpr int DrawScore = 0;
constexpr int MateBound = 999900;           // a score beyond this, either way, is a forced mate

// A score as the table keeps it: a mate counted in plies from the node at ply plies from the
// root instead of from the root, so that the entry holds wherever the position comes again.
// A bound beyond every mate the node can still meet (a fail high over "mated before this
// node", from a window set by a shorter mate elsewhere) is kept as being mated at the node
// itself: it is just as true here, and stays a mate score at any other ply.
constexpr int ScoreToTable(int score, int ply) {
    if (score < ply - MateScore)
        score = ply - MateScore;
    else if (score > MateScore - ply)
        score = MateScore - ply;
    return score > MateBound ? score + ply : score < -MateBound ? score - ply : score;
}

// A table score back as a score counted from the root, for a node at ply plies from the root.
constexpr int ScoreFromTable(int score, int ply) {
    return score > MateBound ? score - ply : score < -MateBound ? score + ply : score;
}
