// Leaf counts of the legal-move tree, timed, for checking and measuring the generator.
#include "tools/perft.h"

#include <cinttypes>
#include <cstdio>

#include "board/makemove.h"
#include "board/movegen.h"
#include "engine.h"
#include "output.h"
#include "search/draw.h"
#include "search/searchclock.h"

// Earlier occurrences that make a repetition when counting: the game-level rule, so that
// the published counts hold.
constexpr int PerftRepetitions = 2;

int64_t Perft(Engine& e, int depth) {
    Position& p = e.pos;
    PlyRecord* r = p.currentPly;
    if (depth <= 1) {
        p.nodeCount += r->moveCount;
        return r->moveCount;
    }
    if ((r->checkCount && r->moveCount == 0) || IsDraw(e, PerftRepetitions))
        return 0;
    if (!HasRoomForPly(e.pos))  // never reached within MaxPerftDepth; a leaf rather than overflow
        return 0;
    int64_t sum = 0;
    for (int i = 0; i < r->moveCount; i++) {
        MakeMove(e.pos, EntryMove(r->moves[i]));
        sum += Perft(e, depth - 1);
        UnmakeMove(e.pos);
    }
    return sum;
}

int64_t CountNodes(Engine& e, int depth) {
    Position& p = e.pos;
    p.nodeCount = 0;
    p.searchPly = 0;
    e.search.searchStartTime = NowMilliseconds();
    int64_t leaves = Perft(e, depth);
    e.search.searchElapsedMs = NowMilliseconds() - e.search.searchStartTime;
    return leaves;
}

void RunTestgen(Engine& e, int depth) {
    if (depth < 1 || depth > MaxPerftDepth) {
        Print("Depth must be between 1 and %d, nothing counted.\n", MaxPerftDepth);
        return;
    }
    GenerateMoves(e.pos);
    int64_t leaves = CountNodes(e, depth);
    int64_t nodes = e.pos.nodeCount;
    int64_t ms = e.search.searchElapsedMs;
    char nps[32] = "undefined";
    if (ms > 0)
        std::snprintf(nps, sizeof nps, "%" PRId64, NodesPerSecond(nodes, ms));
    Print("Node count at depth %d is: %" PRId64 "\nTotal nodes: %" PRId64
          "\nTime: %d seconds\nNPS: %s\n",
          depth, leaves, nodes, WholeSeconds(ms), nps);
}
