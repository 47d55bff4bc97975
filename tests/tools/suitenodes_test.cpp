// "testgensuite": legal-move counts over the positions of a suite.
#include <gtest/gtest.h>

#include <string>

#include "suitefile.h"
#include "support.h"
#include "tools/suitenodes.h"

TEST(SuiteNodes, CountsEverySearchedPosition) {
    auto e = NewTestEngine();
    FILE* suite = TextFile(
        "echo counting\n"
        "svfe rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -\n"
        "srch e4\n"
        "svfe 8/8/8/8/8/5k2/8/8 w - -\n"  // refused: its search is skipped
        "srch Kf1\n"
        "noop\n"
        "\n"
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - bm O-O; id \"k\";\n"
        "some line of another tool\n"
        "7k/6Q1/6K1/8/8/8/8/8 b - - am Kh7;\n"
        "rtrn\n"
        "svfe 8/8/8/8/8/5k2/8/5K2 w - -\n"
        "srch Kf1\n");
    FILE* results = std::tmpfile();
    testing::internal::CaptureStdout();
    CountSuiteNodes(suite, results, *e);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("counting\n"), std::string::npos);
    EXPECT_NE(out.find("Suite position skipped: the set-up refused it\n"), std::string::npos);
    EXPECT_EQ(out.substr(out.rfind("Total")), "Total nodes: 68\n");  // 20 + 48 + 0 (mated)
    EXPECT_EQ(FileText(results),
              "Position    1\nTotal nodes: 20\n"
              "Position    2\nTotal nodes: 48\n"
              "Position    3\nTotal nodes: 0\n"
              "\nGrand Total nodes: 68\n");
    EXPECT_EQ(CheckPosition(e->pos), "");
    std::fclose(suite);
    std::fclose(results);
}

TEST(SuiteNodes, OwnSuiteSetsUpEveryPosition) {
    auto e = NewTestEngine();
    FILE* suite = std::fopen(MOSSKITE_SOURCE_DIR "/suites/mosskite-tactics.epd", "r");
    ASSERT_NE(suite, nullptr);
    FILE* results = std::tmpfile();
    testing::internal::CaptureStdout();
    CountSuiteNodes(suite, results, *e);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("skipped"), std::string::npos) << out;
    EXPECT_EQ(out.find("Illegal"), std::string::npos) << out;
    std::string text = FileText(results);
    EXPECT_NE(text.find("Position   45\n"), std::string::npos);
    EXPECT_EQ(text.find("Position   46\n"), std::string::npos);
    EXPECT_EQ(text.find("Total nodes: 0\n"), std::string::npos);  // every position has moves
    std::fclose(suite);
    std::fclose(results);
}
