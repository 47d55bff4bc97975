// Legal move generation into the current ply's list.
#pragma once

struct Engine;

// Generates the legal moves of the current position into the current PlyRecord,
// rebuilding attack maps, pins and mobilityBalance. Returns the number of checkers.
int GenerateMoves(Engine& e);
