// Score constants of the search, in units where a pawn is 900.
#pragma once

constexpr int Infinity = 2000000000;        // start of best; the widest window
constexpr int MateScore = 1000000;          // being mated at searchPly p scores p - MateScore
constexpr int RootMateScore = 999999;       // a mate in one found at the root
constexpr int MateThreatBound = -999900;    // a null-move score below this: mate threatened
constexpr int DrawScore = 0;
