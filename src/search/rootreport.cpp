// Reports of the root search and the root list's order.
#include "search/rootreport.h"

#include <cstring>
#include <utility>

#include "engine.h"
#include "search/score.h"
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

bool PutLineInFront(Engine& e, const PvLine& line) {
    SearchData& s = e.search;
    PlyRecord* const root = e.pos.currentPly;
    const MoveListEntry& first = line.moves[0];
    for (int i = 0; i < root->moveCount; i++) {
        const MoveListEntry& m = root->moves[i];
        if (m.from != first.from || m.to != first.to || m.promotion != first.promotion)
            continue;
        MoveToFront(root->moves, i);
        std::memcpy(s.pv[0], line.moves, sizeof s.pv[0]);
        s.lastScore = root->bestScore = line.score;
        return true;
    }
    return false;
}

void EndOnMateInOne(Engine& e, int i) {
    SearchData& s = e.search;
    PlyRecord* const root = e.pos.currentPly;
    MoveListEntry* const list = root->moves;
    const MoveListEntry m = list[i];
    s.lastScore = RootMateScore;
    std::swap(list[0], list[i]);
    s.pv[0][0] = m;
    s.pv[0][1].from = 0;
    root->bestScore = RootMateScore;
    ReportRoot(e, ReportKind::Iteration, s.searchDepth, RootMateScore, RootMateScore);
    s.abortSearch = 1;
}
