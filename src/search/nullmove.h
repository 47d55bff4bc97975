// Passing the move inside the search.
#pragma once

struct Engine;

// Lets the side to move pass: the other side moves next, searchPly advances by R, and the new
// record's list holds the opponent's legal moves. The attack maps and pins are kept: they
// are the placement's, whoever is to move.
void MakeNullMove(Engine& e, int R);

// Takes back MakeNullMove(R).
void UnmakeNullMove(Engine& e, int R);
