// Exact verdicts for king and pawn endings the search need not explore.
#pragma once

struct Engine;

// Score of a recognized king-and-pawns ending from the side to move's view; false when the
// ending is not one the rules decide. Both sides must have nothing but king and pawns.
bool RecognizePawnEnding(Engine& e, int& score);

// King and pawn against king, on coordinates where the pawn side plays up the board (files and
// ranks 1..8). Score from the pawn side's view: a win above 4000, a draw 1.
bool KingPawnVersusKing(int attackerFile, int attackerRank, int pawnFile, int pawnRank,
                        int defenderFile, int defenderRank, bool attackerToMove, int& score);

// Two pawns of one side on one file that the bare king holds.
bool WhiteDoubledPawnDraw(const Engine& e);
bool BlackDoubledPawnDraw(const Engine& e);
