// Draws by rule: stalemate, insufficient material, the fifty-move rule and repetition.
#pragma once

struct Engine;

// True when the current position is drawn by rule. repetitionsNeeded is how many earlier
// occurrences of the position make a draw: the tree search passes 1, game-level tests and
// move counting pass 2. An occurrence must match the hash key, castling rights and
// en-passant square.
bool IsDraw(const Engine& e, int repetitionsNeeded);
