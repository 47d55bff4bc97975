// The node search: fail-soft alpha-beta with table, null move, futility and extensions.
#pragma once

struct Engine;

// Fail-soft score of the current position for the side to move. The remaining depth is
// searchDepth - effectivePly; the current record's move list must be generated.
int AlphaBeta(Engine& e, int alpha, int beta);
