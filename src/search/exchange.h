// Yes/no tests on a move about to be searched, read off the board, the attack maps and the
// piece lists of the current position without making the move.
#pragma once

#include <cstdint>

#include "board/types.h"

struct Engine;

// True when the capture can be expected to win at least margin; false for quiet moves.
bool CaptureGainTest(Engine& e, Move m, int32_t margin);

// Second chance in quiescence for a move that fails the capture test: checking captures,
// knight forks with check, queen contact with the king and back-rank checks.
bool QuiescenceThreatTest(Engine& e, Move m, int32_t margin);

// True when a quiet move lands close to the enemy king or hits the enemy queen.
bool IsKingAttackMove(Engine& e, Move m);
