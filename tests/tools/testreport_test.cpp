// The result file of a test run: header, position records and the summary arithmetic.
#include <gtest/gtest.h>

#include <string>

#include "suitefile.h"
#include "tools/testreport.h"

// A solved White search and an unsolved Black one, with easily checked figures.
static SuiteSearchReport WhiteReport() {
    SuiteSearchReport r;
    r.whiteToMove = 1;
    r.moveText = "Qg6";
    r.scoreText = "White mates in 2";
    r.pvText = "Qg6 fxg6 Rxf8#";
    r.seconds = 3;
    r.nodes = 1000;
    r.quiesceNodes = 250;
    r.hashHits = 40;
    r.pawnHashHits = 7;
    r.failHighs = 100;
    r.failHighFirst = 90;
    r.failHighSecond = 5;
    r.iterations = 4;
    r.rootMoves = 2;
    r.foundTime = 1;
    r.foundDepth = 2;
    r.foundFraction = 1;
    return r;
}

static SuiteSearchReport BlackReport() {
    SuiteSearchReport r = WhiteReport();
    r.whiteToMove = 0;
    r.moveText = "Rxb2";
    r.scoreText = "Black by 1.2";
    r.pvText = "Rxb2 Rxb2";
    r.seconds = 7;
    r.nodes = 3000;
    r.quiesceNodes = 750;
    r.failHighs = 300;
    r.failHighFirst = 270;
    r.failHighSecond = 15;
    r.foundTime = 5;
    r.foundDepth = 3;
    r.foundFraction = 12;
    return r;
}

TEST(TestReport, HeaderNamesTheLimits) {
    FILE* f = std::tmpfile();
    WriteSuiteHeader(f, "wac.epd", SuiteLimits{5, 0, 30, 1048560});
    EXPECT_EQ(FileText(f),
              "******* mossKite Version 10.88 *******\n\n"
              "   Running test file wac.epd\n"
              "   Max. time per move: 5sec\n"
              "   Max. nodes per move: 0\n"
              "   Max. Full width depth: 30\n"
              "   Transposition table size: 1048560 bytes\n\n");
    std::fclose(f);
}

TEST(TestReport, PositionRecordsAndVerdicts) {
    FILE* f = std::tmpfile();
    SuiteStats stats;
    testing::internal::CaptureStdout();
    RecordTestResult(f, WhiteReport(), stats, true);
    RecordTestResult(f, BlackReport(), stats, false);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out,
              "Correct!\nTime taken = 3.000000 seconds\n"
              "1 solved correctly out of 1 positions.\n\n"
              "Incorrect\nTime taken = 7.000000 seconds\n"
              "1 solved correctly out of 2 positions.\n\n");
    std::string found(36, ' ');
    EXPECT_EQ(FileText(f),
              "Position    1   1. Qg6        White mates in 2     Used:    3sec    4.2ply\n"
              "  Correct! " + found + "Found in:    1sec    2.1ply\n"
              "  PV: Qg6 fxg6 Rxf8#\n"
              "Nodes: 1000\n"
              "Position    2   1. .. Rxb2    Black by 1.2         Used:    7sec    4.2ply\n"
              "  Incorrect" + found + "Found in:    5sec    3.12ply\n"
              "  PV: Rxb2 Rxb2\n"
              "Nodes: 3000\n");
    std::fclose(f);

    EXPECT_EQ(stats.positions, 2);
    EXPECT_EQ(stats.solved, 1);
    EXPECT_EQ(stats.totalMoveTime, 10);
    EXPECT_EQ(stats.maxTime, 7);
    EXPECT_EQ(stats.maxTimePosition, 2);
    // The solved position found its move at depth 2 after 1 second; the other counts its
    // whole time in the sums and nowhere in the summaries.
    for (int k = 0; k < PlySummarySize; k++)
        EXPECT_EQ(stats.plySummary[k], k >= 3 ? 1 : 0) << k;
    for (int i = 0; i < TimeSummarySize; i++)
        EXPECT_EQ(stats.timeSummary[i], 1) << i;
    EXPECT_EQ(stats.sumSolvedTimes, 1 + 7);
    EXPECT_EQ(stats.sumSolvedTimesSquared, 1 + 49);
}

TEST(TestReport, TimeSummaryCountsLimitsAtLeastTheFoundTime) {
    SuiteStats stats;
    SuiteSearchReport r = WhiteReport();
    r.foundTime = 25;
    r.foundDepth = 12;  // beyond the ply summary: counted nowhere there
    FILE* f = std::tmpfile();
    testing::internal::CaptureStdout();
    RecordTestResult(f, r, stats, true);
    testing::internal::GetCapturedStdout();
    std::fclose(f);
    const int expected[TimeSummarySize] = {0, 0, 0, 1, 1, 1, 1};
    for (int i = 0; i < TimeSummarySize; i++)
        EXPECT_EQ(stats.timeSummary[i], expected[i]) << timeSummaryLimits[i];
    for (int k = 0; k < PlySummarySize; k++)
        EXPECT_EQ(stats.plySummary[k], 0) << k;
    EXPECT_EQ(stats.maxTimePosition, 1);  // a first search of equal time takes the mark
}

TEST(TestReport, SummaryTableAndSummaries) {
    FILE* f = std::tmpfile();
    SuiteStats stats;
    testing::internal::CaptureStdout();
    RecordTestResult(f, WhiteReport(), stats, true);
    RecordTestResult(f, BlackReport(), stats, false);
    testing::internal::GetCapturedStdout();
    std::string records = FileText(f);
    testing::internal::CaptureStdout();
    PrintSuiteSummary(stats, 12400);  // milliseconds
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "*** Test Finished ***\n1 solved correctly out of 2 positions.\n"
              "Total nodes: 4000,  Total time: 12sec\n");
    WriteSuiteSummary(f, stats, 10000, 30);  // a 30-second limit shows the 5, 10, 20 counters
    EXPECT_EQ(FileText(f).substr(records.size()),
              "\n1 solved correctly out of 2 positions.\n\n"
              "Total time:                    10.0 sec\n"
              "Total of move times:           10.0 sec\n"
              "Max time used on a position:   7.0 sec (position 2)\n"
              "Mean time per position:        5.00 sec\n"
              "Total Nodes:                   4000\n"
              "Quies. Nodes:                  1000 (25.000%)\n"
              "Fail Highs:                    400\n"
              "First Move Fail Highs:         360 (90.000%)\n"
              "2nd   Move Fail Highs:         20 ( 5.000%)\n"
              "Hash Hits:                     80\n"
              "Pawn Hash Hits:                14\n"
              "Nodes/second:                  400\n"
              "Sum Solved Times:              8 (4.0)\n"
              "Sum Solved Times Squared:      50 (25.0)\n"
              "\nPly Summary:\n1: 0, 2: 0, 3: 1, 4: 1, 5: 1, 6: 1, 7: 1, 8: 1, 9: 1, "
              "\nTime Summary:\n5s: 1, 10s: 1, 20s: 1, ");
    std::fclose(f);
}

TEST(TestReport, EmptyRunDividesByNothing) {
    FILE* f = std::tmpfile();
    WriteSuiteSummary(f, SuiteStats{}, 0, 5);  // no limit below 5 seconds
    EXPECT_EQ(FileText(f),
              "\n0 solved correctly out of 0 positions.\n\n"
              "Total time:                    0.0 sec\n"
              "Total of move times:           0.0 sec\n"
              "Max time used on a position:   0.0 sec (position 0)\n"
              "Mean time per position:        0.00 sec\n"
              "Total Nodes:                   0\n"
              "Quies. Nodes:                  0 ( 0.000%)\n"
              "Fail Highs:                    0\n"
              "First Move Fail Highs:         0 ( 0.000%)\n"
              "2nd   Move Fail Highs:         0 ( 0.000%)\n"
              "Hash Hits:                     0\n"
              "Pawn Hash Hits:                0\n"
              "Nodes/second:                  0\n"
              "\nPly Summary:\n1: 0, 2: 0, 3: 0, 4: 0, 5: 0, 6: 0, 7: 0, 8: 0, 9: 0, "
              "\nTime Summary:\n");
    std::fclose(f);
}
