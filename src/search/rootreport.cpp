// Reports of the root search and the root list's order.
#include "search/rootreport.h"

#include <cstring>

#include "engine.h"
#include "search/searchclock.h"
#include "search/threads.h"

void ReportRoot(Engine& e, ReportKind kind, int depth, int score, int windowScore, ScoreBound bound) {
    SearchReport r{kind};
    r.depth = depth;
    r.score = score;
    r.windowScore = windowScore;
    r.bound = bound;
    r.nodes = SearchNodes(e);
    r.elapsedMs = ElapsedMilliseconds(e);
    r.pv = e.search.pv[0];
    Report(e, r);
}

void ReportCurrentMove(Engine& e, const MoveListEntry& m, int i) {
    SearchReport r{ReportKind::CurrentMove};
    r.depth = e.search.searchDepth;
    r.move = EntryMove(m);
    r.moveNumber = i + 1;
    Report(e, r);
}

void MoveToFront(MoveListEntry* list, int i) {
    MoveListEntry m = list[i];
    std::memmove(list + 1, list, size_t(i) * sizeof *list);
    list[0] = m;
}
