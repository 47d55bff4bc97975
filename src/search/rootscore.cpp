// The root scores searches leave in the ply stack.
#include "search/rootscore.h"

#include "engine.h"
#include "search/score.h"

// Index of a record in the ply stack.
static int RecordIndex(const Engine& e, const PlyRecord* r) { return int(r - e.pos.plyStack); }

void MarkRootScore(Engine& e, const PlyRecord* r) {
    e.search.rootScoreKey[RecordIndex(e, r)] = r->hashKey;
}

bool RootScoreOf(const Engine& e, const PlyRecord* r, int& score) {
    int k = RecordIndex(e, r);
    if (k < 0 || k >= PlyStackSize || e.search.rootScoreKey[k] != r->hashKey
        || r->bestScore == -Infinity)  // stopped before any root move was searched
        return false;
    score = r->bestScore;
    return true;
}
