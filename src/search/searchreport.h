// What the search reports while it runs, as plain records handed to the hook the shell
// installed for its mode (SearchData::report); the search itself writes no text.
#pragma once

#include <cstdint>

#include "board/types.h"
#include "engine.h"

// How a reported score relates to the true score of the root.
enum class ScoreBound { Exact, Lower, Upper };

enum class ReportKind {
    Start,        // the ordering's first root move, before the first iteration
    NewBest,      // a later root move became best during an iteration
    Bound,        // the iteration's window failed: windowScore is only a bound
    Iteration,    // an iteration ended (or a mate in one ended the search)
    Unsearched,   // a move chosen without a search: forced, from the book, or no room left
    CurrentMove,  // a root move is about to be searched
    Progress,     // a periodic count of nodes while the search runs
    TimeRemarks,  // the time limit granted or cut an extension
};

struct SearchReport {
    ReportKind kind;
    int32_t depth = 0;              // the running iteration's depth
    int32_t score = 0;              // score of the best root move so far
    int32_t windowScore = 0;        // the iteration's score as the window saw it ...
    ScoreBound bound = ScoreBound::Exact;  // ... and what kind of bound it is
    int64_t nodes = 0;
    int64_t elapsedMs = 0;
    const MoveListEntry* pv = nullptr;  // the principal variation, ended by from 0
    Move move = 0;                  // Unsearched and CurrentMove: the move
    int32_t moveNumber = 0;         // CurrentMove: its place in the root list, from 1
    const char* what = nullptr;     // Unsearched: "Forced Move" or "Book Move", or nullptr
    uint32_t remarks = 0;           // TimeRemarks: TimeRemark bits
    int32_t multiPv = 0;            // Iteration: the line's rank from 1 when several are
                                    // searched, 0 when one is
};

// Hands a report to the installed hook, if any.
inline void Report(Engine& e, const SearchReport& r) {
    if (e.search.report)
        e.search.report(e, r);
}
