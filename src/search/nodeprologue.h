// What every search node settles before it looks at the table or its moves.
#pragma once

#include <cstdint>

#include "board/types.h"

struct Engine;
struct TTEntry;

// Searches never go this deep: a node at this searchPly is a leaf, which keeps the triangular
// PV table's rows (ply + 1 <= 62 on update) and the ply stack in bounds.
constexpr int MaxSearchPly = 62;

// Settles the node without searching when it can: checkmate, a draw, a window beyond every
// mate the node can still meet (with that bound), a recognized pawn ending, or the ply limit
// (a leaf scored by Evaluate). Returns true with the node's score. Being mated scores
// plies - 1000000, the plies counting each null move as one.
bool ResolveNode(Engine& e, int alpha, int beta, int& score);

// Applies a table entry deep enough to count. An exact score, a lower bound at or above beta
// and an upper bound below alpha settle the node (true, with the score); a lower bound inside
// the window raises alpha and best. A score inside the window empties the node's PV row.
bool TableSettles(Engine& e, const TTEntry& t, int& alpha, int beta, int& best, int& score);

// Evaluate, counted in the search statistics.
int SearchEvaluate(Engine& e);

// Starts loading what the child of move m will probe first: its table bucket and, when the
// move changes the pawns, its pawn-hash slots. The keys are exact for ordinary moves,
// captures and promotions; castling and en passant differ by the pieces this leaves out,
// which costs only a late fetch.
void PrefetchChild(const Engine& e, const MoveListEntry& m);
