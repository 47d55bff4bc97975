// Helpers of the evaluation tests: colour flips and traced evaluations.
#pragma once

#include <string>

#include "engine.h"
#include "eval/evaldata.h"

// The same position with colours exchanged: ranks mirrored, case swapped, the other side
// to move, castling rights and en-passant square mirrored.
std::string FlipFen(const std::string& fen);

// The static score of the current position from White's view.
int WhiteEval(Engine& e);

// Evaluates the current position with a trace attached and returns the trace.
EvalTrace TraceEval(Engine& e);

// The pawn hash entry of the current position.
const PawnHashEntry& PawnEntry(Engine& e);
