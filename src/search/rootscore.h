// The root scores searches leave in the ply stack, for the time limit and the resign test.
#pragma once

struct Engine;
struct PlyRecord;

// Marks the record's bestScore as written by a search from this very position.
void MarkRootScore(Engine& e, const PlyRecord* record);

// The root score a search left in the record, when that search started from this very
// position (not from an earlier game's or another set-up's record).
bool RootScoreOf(const Engine& e, const PlyRecord* record, int& score);
