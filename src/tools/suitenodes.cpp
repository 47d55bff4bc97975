// "testgensuite": move counts of each position of a suite.
#include "tools/suitenodes.h"

#include <cinttypes>

#include "engine.h"
#include "output.h"
#include "search/tables.h"
#include "tools/perft.h"
#include "tools/suiteline.h"
#include "tools/suitemessages.h"

// Depth of the count made at each suite position: its legal moves.
constexpr int SuiteCountDepth = 1;

// Counts the current position's moves; returns the node count it added.
static int64_t CountPosition(FILE* results, Engine& e, int& positions) {
    positions++;
    std::fprintf(results, "Position %4d\n", positions);
    CountNodes(e, SuiteCountDepth);
    int64_t nodes = e.pos.nodeCount;
    std::fprintf(results, "Total nodes: %" PRId64 "\n", nodes);
    return nodes;
}

void CountSuiteNodes(FILE* suite, FILE* results, Engine& e) {
    int positions = 0;
    int64_t total = 0;
    bool positionReady = true;  // false after an "svfe" the set-up refused
    char line[SuiteLineCapacity];
    for (SuiteLineRead read; (read = ReadSuiteLine(suite, line)) != SuiteLineRead::End;) {
        if (read == SuiteLineRead::TooLong) {
            ReportLongSuiteLine();
            continue;
        }
        SuiteLineKind kind = ClassifySuiteLine(line);
        if (kind == SuiteLineKind::Return)
            break;
        switch (kind) {
        case SuiteLineKind::Echo:
            Print("%s\n", RecordText(line));
            break;
        case SuiteLineKind::SetPosition:
            positionReady = SetUpEpdPosition(e, RecordText(line));
            break;
        case SuiteLineKind::Search:
            if (positionReady)
                total += CountPosition(results, e, positions);
            else
                ReportSkippedPosition("the set-up refused it");
            break;
        case SuiteLineKind::BestMoves:
        case SuiteLineKind::AvoidMoves: {
            EpdMoveOperation op = SplitEpdMoves(line);
            line[op.position.size()] = '\0';  // the position ends where the operation starts
            if (SetUpEpdPosition(e, line))
                total += CountPosition(results, e, positions);
            else
                ReportSkippedPosition("the set-up refused it");
            break;
        }
        default:
            break;
        }
    }
    Print("Total nodes: %" PRId64 "\n", total);
    std::fprintf(results, "\nGrand Total nodes: %" PRId64 "\n", total);
    std::fflush(results);
}
