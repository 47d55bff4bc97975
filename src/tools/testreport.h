// The result file of a test run: header, one record per position, closing statistics.
#pragma once

#include <cstdint>
#include <cstdio>

// Counters of the ply summary (solutions found below depth k) and the time summary.
constexpr int PlySummarySize = 10;
constexpr int TimeSummarySize = 7;
// Seconds of the time summary's counters, shortest first.
constexpr int timeSummaryLimits[TimeSummarySize] = {5, 10, 20, 30, 60, 180, 900};

// Statistics kept over one test run.
struct SuiteStats {
    int32_t positions = 0;          // positions searched
    int32_t solved = 0;             // positions solved
    int32_t maxTimePosition = 0;    // number of the position that used the most time
    double nodes = 0;               // sum of node counts
    double quiesNodes = 0;          // sum of quiescence node counts
    double hashHits = 0;            // sum of transposition-table hits
    double pawnHashHits = 0;        // sum of pawn-hash hits
    double sumSolvedTimes = 0;      // time to the solution, or the whole time when unsolved
    double sumSolvedTimesSquared = 0;  // the same with each time squared
    double failHighs = 0;           // sum of fail highs
    double firstMoveFailHighs = 0;  // fail highs on the first move
    double secondMoveFailHighs = 0; // fail highs on the second move
    int32_t totalMoveTime = 0;      // sum of the search times, whole seconds
    int32_t maxTime = 0;            // longest search time
    int32_t plySummary[PlySummarySize] = {};   // [k]: solved with the solution found below depth k
    int32_t timeSummary[TimeSummarySize] = {}; // solved within timeSummaryLimits[i] seconds
};

// What one search of a test run reports: its figures and texts.
struct SuiteSearchReport {
    int32_t whiteToMove = 1;       // side to move in the searched position
    const char* moveText = "";     // the engine's move in SAN
    const char* scoreText = "";    // the score description
    const char* pvText = "";       // the principal variation in SAN
    int32_t seconds = 0;           // search time, whole seconds
    int64_t nodes = 0;
    int64_t quiesceNodes = 0;
    int64_t hashHits = 0;
    int64_t pawnHashHits = 0;
    int64_t failHighs = 0;
    int64_t failHighFirst = 0;     // fail highs on the first move
    int64_t failHighSecond = 0;    // fail highs on the second move
    int32_t iterations = 0;        // iterations completed
    int32_t rootMoves = 0;         // root moves searched in the last iteration
    int32_t foundTime = 0;         // seconds, iteration and root-move count at which the
    int32_t foundDepth = 0;        //   final best move was found
    int32_t foundFraction = 0;
};

// Search limits a run is made with, as written in the header.
struct SuiteLimits {
    int32_t maxTime;
    int64_t maxNodes;
    int32_t searchDepth;
    uint32_t hashBytes;   // transposition-table size in bytes
};

// Writes the header of a run to the result file.
void WriteSuiteHeader(FILE* results, const char* suiteName, const SuiteLimits& limits);

// Adds one searched position to the statistics, writes its record to the result file and
// prints the verdict and the running count on standard output.
void RecordTestResult(FILE* results, const SuiteSearchReport& report, SuiteStats& stats,
                      bool solved);

// Prints the end of a run on standard output: solved count, nodes and run time.
void PrintSuiteSummary(const SuiteStats& stats, int64_t runMs);

// Writes the closing statistics, the ply summary and the time summary (the limits below
// maxTimeSetting) to the result file and flushes it.
void WriteSuiteSummary(FILE* results, const SuiteStats& stats, int64_t runMs,
                       int32_t maxTimeSetting);
