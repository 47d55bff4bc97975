// Reading games from PGN files.
#pragma once

#include <cstdint>
#include <cstdio>

#include "board/types.h"

struct Engine;

constexpr int PgnRecordedPlies = 32;  // opening plies whose positions and moves are kept

// What ReadPgnGame tells about the game it read.
struct PgnGame {
    int32_t playedPlies;                   // moves played, also when a word was unreadable
    int32_t endOfFile;                     // 1 when reading stopped at the end of the file
    uint64_t keys[PgnRecordedPlies];       // hashKey of the position before each early move
    Move moves[PgnRecordedPlies];          // the early moves, as entries of the legal lists
};

// Reads the next game of an open PGN file and plays its moves on the Position from the
// starting position, or from the position of the game's FEN tag, as game moves that can be
// taken back and replayed. Returns the number of plies played (0 when no move was found),
// or -1 after printing a message for a word that is no legal move (the moves before it stay
// played) or for a FEN tag the engine cannot play from. The file is left just
// after the result, before the tag line of a next game that follows a game without a
// result, or after the unreadable word. game, when given, receives the details.
int ReadPgnGame(Engine& e, FILE* f, PgnGame* game = nullptr);

// Skips the rest of the current line and every following line up to the next one that
// begins with "[", leaving the file before it. Returns false at the end of the file.
bool SkipToNextGame(FILE* f);
