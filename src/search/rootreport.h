// Reports of the root search and the root list's order, shared by the tree searches.
#pragma once

#include "board/types.h"
#include "search/searchreport.h"

struct Engine;
struct PvLine;

// Reports an event of the root search with the running search's figures and its PV.
void ReportRoot(Engine& e, ReportKind kind, int depth, int score, int windowScore = 0,
                ScoreBound bound = ScoreBound::Exact);

// Reports the root move at index i that is about to be searched.
void ReportCurrentMove(Engine& e, const MoveListEntry& m, int i);

// Moves the root move at index i to the front, the ones before it one place down.
void MoveToFront(MoveListEntry* list, int i);

// Makes line the search's answer: its first move goes to the front of the root list, its
// moves become the PV and its score the search's. False, with nothing changed, when no root
// move matches the line's first move.
bool PutLineInFront(Engine& e, const PvLine& line);

// Ends the search on a mate in one by root move i: the move goes to the front, alone in
// the PV, the mate score is the search's and is reported, and the search stops.
void EndOnMateInOne(Engine& e, int i);
