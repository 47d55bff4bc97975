// Loading a suite position by number, from records and from EPD lines.
#include <gtest/gtest.h>

#include <string>

#include "notation/epd.h"
#include "suitefile.h"
#include "support.h"
#include "tools/loadnth.h"

static const char* const mixedSuite =
    "echo first records\n"
    "svfe 6k1/5ppp/8/8/8/8/8/R5K1 w - -\n"
    "srch Ra8#\n"
    "noop\n"
    "svfe 8/8/8/8/8/5k2/8/8 w - -\n"  // no White king: the set-up refuses it
    "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - bm Bb5 Bc4; id \"x\";\n"
    "svfe 4k3/8/8/8/8/8/8/4K2R w K -\n"
    "rtrn\n"
    "svfe 4k3/8/8/8/8/8/8/R3K3 w Q -\n";

// Loads position n of the mixed suite; returns what was printed.
static std::string Load(Engine& e, int n, int& loaded) {
    FILE* f = TextFile(mixedSuite);
    testing::internal::CaptureStdout();
    loaded = LoadNthPosition(f, n, e);
    std::fclose(f);
    return testing::internal::GetCapturedStdout();
}

TEST(LoadNth, RecordsAndEpdLinesAreCountedInFileOrder) {
    auto e = NewTestEngine();
    int loaded = 0;
    EXPECT_EQ(Load(*e, 1, loaded), "Solution: Ra8#\n");
    EXPECT_EQ(loaded, 1);
    EXPECT_STREQ(PositionToEpd(e->pos), "6k1/5ppp/8/8/8/8/8/R5K1 w - -");
    EXPECT_EQ(CheckPosition(e->pos), "");

    EXPECT_EQ(Load(*e, 3, loaded), "Solution: bm Bb5 Bc4\n");
    EXPECT_EQ(loaded, 1);
    EXPECT_STREQ(PositionToEpd(e->pos),
                 "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -");
    EXPECT_EQ(e->pos.currentPly->moveCount, 27);

    EXPECT_EQ(Load(*e, 4, loaded), "");  // no "srch" line after it: no solution
    EXPECT_EQ(loaded, 1);
    EXPECT_STREQ(PositionToEpd(e->pos), "4k3/8/8/8/8/8/8/4K2R w K -");
}

TEST(LoadNth, MissingAndRefusedPositionsLoadNothing) {
    auto e = NewTestEngine();
    int loaded = 1;
    EXPECT_EQ(Load(*e, 5, loaded), "Position 5 not found\n");  // it stands after "rtrn"
    EXPECT_EQ(loaded, 0);
    EXPECT_EQ(Load(*e, 0, loaded), "Position 0 not found\n");
    EXPECT_EQ(loaded, 0);
    std::string out = Load(*e, 2, loaded);
    EXPECT_EQ(loaded, 0);
    EXPECT_NE(out.find("Illegal position"), std::string::npos) << out;
    // The game position is untouched by the refusal.
    EXPECT_STREQ(PositionToEpd(e->pos), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
    EXPECT_EQ(CheckPosition(e->pos), "");
}
