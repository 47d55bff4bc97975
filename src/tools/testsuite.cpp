// The test-suite runner: reads the suite line by line and searches each position.
#include "tools/testsuite.h"

#include <algorithm>
#include <cstring>

#include "engine.h"
#include "notation/movetext.h"
#include "output.h"
#include "search/driver.h"
#include "search/pv.h"
#include "search/scoretext.h"
#include "search/searchclock.h"
#include "search/tables.h"
#include "search/transtable.h"
#include "tools/suiteline.h"
#include "tools/testreport.h"
#include "tools/suitemessages.h"

// Room for a move in SAN with its check mark, copied before other texts reuse the buffer.
constexpr int MoveTextSize = 16;

// What the runner keeps between lines of one run.
struct SuiteRun {
    const char* suiteName;
    FILE* results;
    FILE* log;  // the log file, or nullptr
    SearchFunction search;  // chooses the move of each position
    SuiteStats stats;
    bool positionReady = true;  // false after an "svfe" the set-up refused
};

// Searches the current position and fills the report; moveText receives the engine's move.
static SuiteSearchReport SearchPosition(Engine& e, SuiteRun& run, char* moveText) {
    if (run.log)
        std::fprintf(run.log, "\nTest suite %s, searching position %d\n", run.suiteName,
                     run.stats.positions + 1);
    SuiteSearchReport r;
    r.whiteToMove = e.pos.whiteToMove;
    Move move = run.search(e);
    std::snprintf(moveText, MoveTextSize, "%s", MoveToSan(e, move));
    r.moveText = moveText;
    r.scoreText = ScoreText(e);
    r.pvText = PvSanText(e);
    const SearchData& s = e.search;
    r.seconds = WholeSeconds(s.searchElapsedMs);
    r.nodes = e.pos.nodeCount;
    r.quiesceNodes = s.stats.quiesceNodes;
    r.hashHits = s.stats.hashHits;
    r.pawnHashHits = s.stats.pawnHashHits;
    r.failHighs = s.stats.failHighs;
    r.failHighFirst = s.stats.failHighFirst;
    r.failHighSecond = s.stats.failHighSecond;
    r.iterations = s.iterationsDone;
    r.rootMoves = s.rootMovesDone;
    r.foundTime = WholeSeconds(s.bestChangeMs);
    r.foundDepth = s.bestChangeIteration;
    r.foundFraction = s.bestChangeMoveNumber;
    return r;
}

// True when the current position has a move to search; reports it otherwise.
static bool HasMoveToSearch(const Engine& e) {
    if (e.pos.currentPly->moveCount > 0)
        return true;
    ReportSkippedPosition("no legal move");
    return false;
}

// "srch": searches the current position; solved when the line lists the engine's move.
static void SearchRecord(Engine& e, SuiteRun& run, const char* line) {
    if (!run.positionReady) {
        ReportSkippedPosition("the set-up refused it");
        return;
    }
    if (!HasMoveToSearch(e))
        return;
    char move[MoveTextSize];
    SuiteSearchReport r = SearchPosition(e, run, move);
    RecordTestResult(run.results, r, run.stats, ListsMove(line, move));
}

// An EPD line with "bm" or "am": sets its position up and searches it. Returns false when
// the move list has no end and the run must stop.
static bool SearchEpdLine(Engine& e, SuiteRun& run, char* line, SuiteLineKind kind) {
    const bool best = kind == SuiteLineKind::BestMoves;
    EpdMoveOperation op = SplitEpdMoves(line);
    if (!op.terminated) {
        Print(best ? "Can't parse best moves on epd line, aborting test suite\n"
                   : "Can't parse avoid moves on epd line, aborting test suite\n");
        return false;
    }
    line[op.position.size()] = '\0';  // the position ends where the operation starts
    if (!SetUpEpdPosition(e, line)) {
        ReportSkippedPosition("the set-up refused it");
        return true;
    }
    if (!HasMoveToSearch(e))
        return true;
    char move[MoveTextSize];
    SuiteSearchReport r = SearchPosition(e, run, move);
    bool listed = ListsMove(op.moves, move);
    RecordTestResult(run.results, r, run.stats, best ? listed : !listed);
    return true;
}

// Carries out one suite line; returns false when the run ends with it.
static bool RunSuiteLine(Engine& e, SuiteRun& run, char* line) {
    SuiteLineKind kind = ClassifySuiteLine(line);
    switch (kind) {
    case SuiteLineKind::Return:
        return false;
    case SuiteLineKind::Noop:
    case SuiteLineKind::Empty:
        return true;
    case SuiteLineKind::Echo:
        Print("%s\n", RecordText(line));
        return true;
    case SuiteLineKind::SetPosition:
        run.positionReady = SetUpEpdPosition(e, RecordText(line));
        return true;
    case SuiteLineKind::Search:
        SearchRecord(e, run, line);
        return true;
    case SuiteLineKind::BestMoves:
    case SuiteLineKind::AvoidMoves:
        return SearchEpdLine(e, run, line, kind);
    case SuiteLineKind::Unknown:
        break;
    }
    Print("%s\nUnrecognized line type, aborting test suite\n", line);
    return false;
}

void RunTestSuite(const char* suiteName, FILE* suite, FILE* results, FILE* log, Engine& e,
                  SearchFunction search) {
    SuiteRun run{suiteName, results, log, search, SuiteStats{}};
    WriteSuiteHeader(results, suiteName,
                     SuiteLimits{WholeSeconds(e.search.maxTime), e.search.maxNodes, e.search.searchDepth,
                                 TTSizeBytes(e)});
    const int64_t startMs = NowMilliseconds();
    char line[SuiteLineCapacity];
    for (SuiteLineRead read; (read = ReadSuiteLine(suite, line)) != SuiteLineRead::End;) {
        if (read == SuiteLineRead::TooLong)
            ReportLongSuiteLine();
        else if (!RunSuiteLine(e, run, line))
            break;
    }
    const int64_t runMs = NowMilliseconds() - startMs;
    PrintSuiteSummary(run.stats, runMs);
    WriteSuiteSummary(results, run.stats, runMs, WholeSeconds(e.search.maxTime));
}
