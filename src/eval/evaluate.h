// The static evaluation.
#pragma once

struct Engine;

// Static score of the current position from the side to move's view (pawn = 900).
// The attack maps, pins and mobilityBalance must describe the current position, as after
// GenerateMoves. May set the current ply's threatMarker.
int Evaluate(Engine& e);
