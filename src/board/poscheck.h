// Debug consistency check of the Position.
#pragma once

#include <string>

struct Position;

// Recomputes every derived field from the board and compares it with the stored value.
// Returns an empty text when all agree, else the name of the first invariant that breaks.
std::string CheckPosition(const Position& p);
