// Texts of the result file and the console verdicts of a test run.
#include "tools/testreport.h"

#include <algorithm>
#include <cinttypes>

#include "output.h"
#include "search/searchclock.h"
#include "version.h"

// Percent of part in whole, 0 when whole is 0.
static double Percent(double part, double whole) {
    return whole != 0 ? 100.0 * part / whole : 0.0;
}

// Quotient, 0 when the divisor is 0.
static double Ratio(double value, double divisor) {
    return divisor != 0 ? value / divisor : 0.0;
}

void WriteSuiteHeader(FILE* results, const char* suiteName, const SuiteLimits& limits) {
    std::fprintf(results, "******* mossKite Version %s *******\n\n", VersionText);
    std::fprintf(results, "   Running test file %s\n", suiteName);
    std::fprintf(results, "   Max. time per move: %dsec\n", limits.maxTime);
    std::fprintf(results, "   Max. nodes per move: %" PRId64 "\n", limits.maxNodes);
    std::fprintf(results, "   Max. Full width depth: %d\n", limits.searchDepth);
    std::fprintf(results, "   Transposition table size: %lu bytes\n\n",
                 static_cast<unsigned long>(limits.hashBytes));
}

void RecordTestResult(FILE* results, const SuiteSearchReport& report, SuiteStats& stats,
                      bool solved) {
    const int32_t t = report.seconds;
    stats.positions++;
    std::fprintf(results, "Position %4d", stats.positions);
    std::fputs(report.whiteToMove ? "   1. " : "   1. .. ", results);
    std::fprintf(results, "%-8s", report.moveText);
    if (report.whiteToMove)
        std::fputs("   ", results);
    std::fprintf(results, "%-21s", report.scoreText);

    stats.totalMoveTime += t;
    stats.nodes += double(report.nodes);
    stats.quiesNodes += double(report.quiesceNodes);
    stats.hashHits += double(report.hashHits);
    stats.pawnHashHits += double(report.pawnHashHits);
    stats.failHighs += double(report.failHighs);
    stats.firstMoveFailHighs += double(report.failHighFirst);
    stats.secondMoveFailHighs += double(report.failHighSecond);
    if (t >= stats.maxTime) {
        stats.maxTime = t;
        stats.maxTimePosition = stats.positions;
    }
    std::fprintf(results, "Used:%5dsec%5d.%dply\n", t, report.iterations, report.rootMoves);

    if (solved) {
        stats.solved++;
        Print("Correct!\n");
        std::fputs("  Correct! ", results);
        for (int k = std::max(report.foundDepth + 1, 0); k < PlySummarySize; k++)
            stats.plySummary[k]++;
        for (int i = 0; i < TimeSummarySize; i++)
            if (timeSummaryLimits[i] >= report.foundTime)
                stats.timeSummary[i]++;
        stats.sumSolvedTimes += report.foundTime;
        stats.sumSolvedTimesSquared += double(report.foundTime) * report.foundTime;
    } else {
        Print("Incorrect\n");
        std::fputs("  Incorrect", results);
        stats.sumSolvedTimes += t;
        stats.sumSolvedTimesSquared += double(t) * t;
    }
    Print("Time taken = %f seconds\n", double(t));

    std::fprintf(results, "%45s", "Found in:");
    std::fprintf(results, "%5dsec%5d.%dply\n", report.foundTime, report.foundDepth,
                 report.foundFraction);
    std::fprintf(results, "  PV: %s\n", report.pvText);
    std::fprintf(results, "Nodes: %" PRId64 "\n", report.nodes);
    Print("%d solved correctly out of %d positions.\n\n", stats.solved, stats.positions);
}

void PrintSuiteSummary(const SuiteStats& stats, int64_t runMs) {
    Print("*** Test Finished ***\n%d solved correctly out of %d positions.\n"
          "Total nodes: %.0f,  Total time: %dsec\n",
          stats.solved, stats.positions, stats.nodes, WholeSeconds(runMs));
}

void WriteSuiteSummary(FILE* results, const SuiteStats& stats, int64_t runMs,
                       int32_t maxTimeSetting) {
    const double positions = stats.positions;
    std::fprintf(results, "\n%d solved correctly out of %d positions.\n\n", stats.solved,
                 stats.positions);
    std::fprintf(results, "%-30s %.1lf sec\n", "Total time:", double(runMs) / MillisecondsPerSecond);
    std::fprintf(results, "%-30s %.1lf sec\n", "Total of move times:",
                 double(stats.totalMoveTime));
    std::fprintf(results, "%-30s %.1lf sec (position %d)\n", "Max time used on a position:",
                 double(stats.maxTime), stats.maxTimePosition);
    std::fprintf(results, "%-30s %.2lf sec\n", "Mean time per position:",
                 Ratio(stats.totalMoveTime, positions));
    std::fprintf(results, "%-30s %.0lf\n", "Total Nodes:", stats.nodes);
    std::fprintf(results, "%-30s %.0lf (%6.3lf%%)\n", "Quies. Nodes:", stats.quiesNodes,
                 Percent(stats.quiesNodes, stats.nodes));
    std::fprintf(results, "%-30s %.0lf\n", "Fail Highs:", stats.failHighs);
    std::fprintf(results, "%-30s %.0lf (%6.3lf%%)\n", "First Move Fail Highs:",
                 stats.firstMoveFailHighs, Percent(stats.firstMoveFailHighs, stats.failHighs));
    std::fprintf(results, "%-30s %.0lf (%6.3lf%%)\n", "2nd   Move Fail Highs:",
                 stats.secondMoveFailHighs, Percent(stats.secondMoveFailHighs, stats.failHighs));
    std::fprintf(results, "%-30s %.0lf\n", "Hash Hits:", stats.hashHits);
    std::fprintf(results, "%-30s %.0lf\n", "Pawn Hash Hits:", stats.pawnHashHits);
    std::fprintf(results, "%-30s %.0lf\n", "Nodes/second:", double(NodesPerSecond(int64_t(stats.nodes), runMs)));
    if (stats.positions != 0) {
        std::fprintf(results, "%-30s %.0lf (%.1lf)\n", "Sum Solved Times:", stats.sumSolvedTimes,
                     stats.sumSolvedTimes / positions);
        std::fprintf(results, "%-30s %.0lf (%.1lf)\n", "Sum Solved Times Squared:",
                     stats.sumSolvedTimesSquared, stats.sumSolvedTimesSquared / positions);
    }
    std::fputs("\nPly Summary:\n", results);
    for (int k = 1; k < PlySummarySize; k++)
        std::fprintf(results, "%d: %d, ", k, stats.plySummary[k]);
    std::fputs("\nTime Summary:\n", results);
    for (int i = 0; i < TimeSummarySize; i++)
        if (timeSummaryLimits[i] < maxTimeSetting)
            std::fprintf(results, "%ds: %d, ", timeSummaryLimits[i], stats.timeSummary[i]);
    std::fflush(results);
}
