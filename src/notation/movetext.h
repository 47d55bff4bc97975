// Move text: standard algebraic notation (SAN), coordinate notation, and reading typed moves
// against the legal moves of a position.
#pragma once

#include "board/types.h"

struct Engine;
struct NotationContext;

// Returns the SAN of a legal move of the current position, with "+" or "#" when it checks or
// mates ("Illegal Move!" for a move not in the current list). Checking moves are made and taken
// back, so afterwards the attack maps describe the position after the move. The next call
// overwrites the text.
const char* MoveToSan(Engine& e, Move m);

// Matches typed text (SAN with or without check marks, coordinate notation, castling
// spellings, short pawn captures such as "ed", bare pawn squares such as "e4") against the legal
// moves of the current position. Returns the list's move, or a move with from-square 0 when
// nothing matches or the text is ambiguous.
Move ParseMove(Engine& e, const char* text);

// Returns the move as from-square and to-square text, with the promotion letter in upper case
// for a move from the seventh rank to the eighth or the second to the first that carries one
// (e7e8Q); "0000" for a move without squares. The next call overwrites the text.
const char* MoveToCoordinate(Move m);

// Returns the move as coordinate text with a lower-case promotion letter (e7e8q), the form
// UCI hosts require; "0000" for a move without squares. The next call overwrites the text.
const char* MoveToUciText(Move m);

// SAN of a move of the game position held by a NotationContext, without check marks;
// "Illegal Move!" when the move is not in its list. The next call overwrites the text.
const char* MoveToSan(const NotationContext& c, Move m);

// Matches typed text against the legal moves of a NotationContext, as ParseMove on the Engine.
Move ParseMove(const NotationContext& c, const char* text);
