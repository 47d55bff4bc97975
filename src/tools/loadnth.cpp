// "loadnth": a suite position by number.
#include "tools/loadnth.h"

#include "engine.h"
#include "output.h"
#include "search/tables.h"
#include "tools/suiteline.h"
#include "tools/suitemessages.h"

// Sets up the position of an EPD line with "bm" or "am" and prints its move list.
static int LoadEpdLine(Engine& e, char* line, SuiteLineKind kind) {
    EpdMoveOperation op = SplitEpdMoves(line);
    line[op.position.size()] = '\0';  // the position ends where the operation starts
    if (!SetUpEpdPosition(e, line))
        return 0;
    Print("Solution: %s%.*s\n", kind == SuiteLineKind::BestMoves ? "bm" : "am",
          int(op.moves.size()), op.moves.data());
    return 1;
}

int LoadNthPosition(FILE* file, int n, Engine& e) {
    char line[SuiteLineCapacity];
    int count = 0;
    for (;;) {
        SuiteLineRead read = ReadSuiteLine(file, line);
        if (read == SuiteLineRead::TooLong)
            continue;
        SuiteLineKind kind =
            read == SuiteLineRead::End ? SuiteLineKind::Return : ClassifySuiteLine(line);
        if (kind == SuiteLineKind::Return) {
            Print("Position %d not found\n", n);
            return 0;
        }
        if (kind == SuiteLineKind::BestMoves || kind == SuiteLineKind::AvoidMoves) {
            if (++count == n)
                return LoadEpdLine(e, line, kind);
            continue;
        }
        if (kind != SuiteLineKind::SetPosition || ++count != n)
            continue;
        if (!SetUpEpdPosition(e, RecordText(line)))
            return 0;
        if (ReadSuiteLine(file, line) == SuiteLineRead::Line &&
            ClassifySuiteLine(line) == SuiteLineKind::Search)
            Print("Solution: %s\n", RecordText(line));
        return 1;
    }
}
