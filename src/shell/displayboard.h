// The display board: the game position as the players see it.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "notation/notationcontext.h"

struct Engine;

// Makes an empty display board: 0 on a1..h8, 7 elsewhere, White to move.
void InitDisplayBoard(DisplayBoard& d);

// Copies the Engine's board, side to move and castling rights.
void CopyToDisplayBoard(const Engine& e, DisplayBoard& d);

// Plays a legal move of the side to move on the display board.
void DisplayBoardApplyMove(DisplayBoard& d, Move m);
