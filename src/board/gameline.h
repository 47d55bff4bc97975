// The game line on the ply stack: playing, taking back and replaying game moves.
#pragma once

#include "board/types.h"

struct Position;

// Records the game line leaves free above the game position for a search.
constexpr int SearchReservePlies = 128;
// Move-list entries the game line leaves free for a search: 64 plies of the longest lists.
constexpr int SearchReserveEntries = 16384;
// Records kept below the game position when the line is moved down: repetitions cannot
// reach further back, the fifty-move rule ends the game first.
constexpr int RepetitionReach = 102;

// Plays a move of the game position's list: MakeMove, then the new position becomes the
// game position (rootPly, lastGamePly, gamePly) with its normalised move list. When the
// line nears the end of the ply stack or move area, it is moved down to record 0 from its
// last irreversible move; every other pointer into the ply stack must then be re-taken.
// A move whose from-square is 0 does nothing.
void GameMakeMove(Position& p, Move m);

// Takes back n plies (n > 0) or replays -n taken-back plies (n < 0), then makes the
// current position the game position. Returns n, or 0 when refused (nothing changes):
// taking back past record 0, or replaying past lastGamePly.
int GameTakeBack(Position& p, int n);
