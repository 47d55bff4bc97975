// Pieces pinned against their own king.
#pragma once

struct Engine;

// Scores the side's pinned pieces from that side's view (<= 0) and raises the current
// ply's threatMarker (1 White, 2 Black) when a pin costs material. side: WhiteSide/BlackSide.
int EvaluatePins(Engine& e, int side);
