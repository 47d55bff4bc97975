// Suite lines: whole reads of any length, record types, EPD move lists, word matching.
#include <gtest/gtest.h>

#include <string>

#include "suitefile.h"
#include "tools/suiteline.h"

TEST(SuiteLine, ReadsLinesWholeWhateverTheirLength) {
    std::string longId(450, 'x');
    std::string longLine = "2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - - bm Qg6; id \"" +
                           longId + "\";";
    std::string tooLong(SuiteLineCapacity + 10, 'y');
    FILE* f = TextFile(longLine + "\r\n\nnoop\n" + tooLong + "\nlast line");
    char line[SuiteLineCapacity];
    ASSERT_EQ(ReadSuiteLine(f, line), SuiteLineRead::Line);
    EXPECT_EQ(std::string(line), longLine);  // CR LF stripped, nothing split off
    ASSERT_EQ(ReadSuiteLine(f, line), SuiteLineRead::Line);
    EXPECT_EQ(std::string(line), "");
    ASSERT_EQ(ReadSuiteLine(f, line), SuiteLineRead::Line);
    EXPECT_EQ(std::string(line), "noop");
    EXPECT_EQ(ReadSuiteLine(f, line), SuiteLineRead::TooLong);
    ASSERT_EQ(ReadSuiteLine(f, line), SuiteLineRead::Line);  // the next line starts cleanly
    EXPECT_EQ(std::string(line), "last line");
    EXPECT_EQ(ReadSuiteLine(f, line), SuiteLineRead::End);
    std::fclose(f);

    // A line that exactly fills the buffer is still a whole line.
    std::string exact(SuiteLineCapacity - 1, 'z');
    f = TextFile(exact + "\n");
    ASSERT_EQ(ReadSuiteLine(f, line), SuiteLineRead::Line);
    EXPECT_EQ(std::string(line), exact);
    EXPECT_EQ(ReadSuiteLine(f, line), SuiteLineRead::End);
    std::fclose(f);
}

TEST(SuiteLine, RecordTypesByHeadOrOperation) {
    EXPECT_EQ(ClassifySuiteLine("rtrn"), SuiteLineKind::Return);
    EXPECT_EQ(ClassifySuiteLine("noop whatever bm x;"), SuiteLineKind::Noop);
    EXPECT_EQ(ClassifySuiteLine(""), SuiteLineKind::Empty);
    EXPECT_EQ(ClassifySuiteLine("  \t "), SuiteLineKind::Empty);
    EXPECT_EQ(ClassifySuiteLine("echo hello"), SuiteLineKind::Echo);
    EXPECT_EQ(ClassifySuiteLine("svfe 8/8/8/8/8/8/8/K1k5 w - -"), SuiteLineKind::SetPosition);
    EXPECT_EQ(ClassifySuiteLine("srch Qg6 Qh5"), SuiteLineKind::Search);
    EXPECT_EQ(ClassifySuiteLine("8/8/8 w - - bm Kb2; id \"x\";"), SuiteLineKind::BestMoves);
    EXPECT_EQ(ClassifySuiteLine("8/8/8 w - - am Kb2; bm Ka2;"), SuiteLineKind::BestMoves);
    EXPECT_EQ(ClassifySuiteLine("8/8/8 w - - am Kb2;"), SuiteLineKind::AvoidMoves);
    EXPECT_EQ(ClassifySuiteLine("8/8/8 w - - id \"x\";"), SuiteLineKind::Unknown);
    EXPECT_STREQ(RecordText("svfe 8/8 w"), "8/8 w");
    EXPECT_STREQ(RecordText("echo"), "");
}

TEST(SuiteLine, SplitsPositionAndMoveList) {
    EpdMoveOperation op = SplitEpdMoves("k7/8/K7 w - - bm Qd1+ Qe2; id \"a\";");
    EXPECT_EQ(op.position, "k7/8/K7 w - -");
    EXPECT_EQ(op.moves, " Qd1+ Qe2");
    EXPECT_TRUE(op.terminated);
    op = SplitEpdMoves("k7/8/K7 w - - am Nf3; bm Nc3;");  // bm wins over an earlier am
    EXPECT_EQ(op.position, "k7/8/K7 w - - am Nf3;");
    EXPECT_EQ(op.moves, " Nc3");
    op = SplitEpdMoves("k7/8/K7 b - - am Nf3 id \"a\"");
    EXPECT_EQ(op.position, "k7/8/K7 b - -");
    EXPECT_FALSE(op.terminated);
}

TEST(SuiteLine, MovesMatchOnlyAsWholeWords) {
    EXPECT_TRUE(ListsMove(" Qg6", "Qg6"));
    EXPECT_TRUE(ListsMove(" Rxf7 Qg6 Nf3", "Qg6"));
    EXPECT_FALSE(ListsMove(" Qd1+", "Qd1"));   // a check sign makes another word
    EXPECT_FALSE(ListsMove(" Qd1", "Qd1+"));
    EXPECT_TRUE(ListsMove(" Qd1+ Qd1", "Qd1"));  // a later whole occurrence still counts
    EXPECT_FALSE(ListsMove(" Nbd2", "Nd2"));
    EXPECT_FALSE(ListsMove("Qg6", "Qg6"));      // no blank before it
    EXPECT_FALSE(ListsMove(" Qg6", ""));
    EXPECT_TRUE(ListsMove("srch e4 d4", "d4"));
}
