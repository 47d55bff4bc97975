// Texts of the search: thinking lines, UCI lines, the PV, the summary, the statistics and
// the tree dump of the aspiration passes.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "book/bookdata.h"
#include "output.h"
#include "search/driver.h"
#include "search/pv.h"
#include "search/report.h"
#include "search/scoretext.h"
#include "search/searchclock.h"
#include "search/searchreport.h"
#include "search/treedump.h"
#include "shell/thinking.h"
#include "support.h"

namespace {

// An engine that searches every position instead of playing book moves.
std::unique_ptr<Engine> NewSearchEngine() {
    auto e = NewTestEngine();
    e->book.useBook = 0;
    return e;
}

MoveListEntry Entry(int from, int to) {
    MoveListEntry m{};
    m.from = uint8_t(from);
    m.to = uint8_t(to);
    return m;
}

// Fills the root line with the knight dance Nf3 Nf6 Ng1 Ng8 ... of the given length.
void KnightDance(Engine& e, int length) {
    const MoveListEntry dance[4] = {Entry(81, 73), Entry(88, 76), Entry(73, 81), Entry(76, 88)};
    for (int k = 0; k < length; k++)
        e.search.pv[0][k] = dance[k % 4];
    e.search.pv[0][length].from = 0;
}

// True when text matches pattern: "*" any run of characters, "?" any one character, "#" one
// or more digits (a leading minus allowed), anything else itself.
bool Like(const char* text, const char* pattern) {
    if (*pattern == 0)
        return *text == 0;
    if (*pattern == '*')
        return Like(text, pattern + 1) || (*text && Like(text + 1, pattern));
    if (*pattern == '#') {
        if (*text == '-')
            text++;
        if (!isdigit(static_cast<unsigned char>(*text)))
            return false;
        while (isdigit(static_cast<unsigned char>(*text)))
            text++;
        return Like(text, pattern + 1);
    }
    if (*pattern == '?')
        return *text && Like(text + 1, pattern + 1);
    return *text == *pattern && Like(text + 1, pattern + 1);
}

// True when some line of text (without its newline) matches pattern.
bool SomeLineLike(const std::string& text, const char* pattern) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (Like(text.substr(start, end - start).c_str(), pattern))
            return true;
        start = end + 1;
    }
    return false;
}

// Number of blank-separated words of a text.
int Words(const std::string& text) {
    int n = 0;
    bool inWord = false;
    for (char c : text) {
        if (c != ' ' && !inWord)
            n++;
        inWord = c != ' ';
    }
    return n;
}

TEST(SearchTexts, ThinkingLineLayout) {
    auto e = NewSearchEngine();
    KnightDance(*e, 2);
    e->search.searchStartTime = NowMilliseconds();
    // The time field is five wide whatever the clock has run on since the start.
    SearchReport r{ReportKind::Iteration};
    r.depth = 5;
    r.score = 1234;
    r.nodes = 12345;
    r.elapsedMs = ElapsedMilliseconds(*e);
    r.pv = e->search.pv[0];
    EXPECT_TRUE(Like(FormatThinkingLine(*e, r), " 5  123 ?????   12345 g1f3 g8f6\n"));
    r.depth = 12;
    r.score = -999999;
    EXPECT_TRUE(Like(FormatThinkingLine(*e, r), "12 -99999 ?????   12345 g1f3 g8f6\n"));
}

TEST(SearchTexts, PvIsCutAtThirtyMoves) {
    auto e = NewSearchEngine();
    KnightDance(*e, 40);
    EXPECT_EQ(Words(PvText(*e, false, e->search.pv[0])), 30);
    std::string san = PvSanText(*e);
    EXPECT_EQ(Words(san), 30);
    EXPECT_EQ(san.substr(0, 15), "Nf3 Nf6 Ng1 Ng8");
    EXPECT_EQ(CheckPosition(e->pos), "");
    EXPECT_EQ(e->pos.currentPly, e->pos.plyStack);
    // While a search runs the SAN form is refused; pondering shows the predicted move first.
    e->search.searchState = Thinking;
    EXPECT_STREQ(PvSanText(*e), "???");
    e->search.searchState = Idle;
}

TEST(SearchTexts, StatisticsWithoutNodesPrintZeros) {
    auto e = NewSearchEngine();
    e->search.searchDepth = 3;
    SetFen(*e, "7k/8/8/8/8/8/8/K5R1 b - -");  // Kh7 is Black's only move
    IterativeDeepening(*e);
    EXPECT_EQ(e->pos.nodeCount, 0);
    e->search.searchElapsedMs = 0;  // as fast as it always is, whatever the machine's load
    testing::internal::CaptureStdout();
    Write(SearchStatisticsText(*e));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Total Nodes: 0  Total Evals: 0\n"), std::string::npos) << out;
    EXPECT_NE(out.find("  Quies Nodes: 0 (0%)"), std::string::npos) << out;
    EXPECT_NE(out.find("  Check Ext: 0 (0.00%)  Single Ext: 0 (0.00%)\n"), std::string::npos);
    EXPECT_NE(out.find("Time taken: 0 sec  Nodes/sec: Undefined.\n"), std::string::npos);
    EXPECT_EQ(out.find("FH:"), std::string::npos);
    EXPECT_NE(out.find("Score: Forced Move"), std::string::npos);
}

TEST(SearchTexts, StatisticsAndSummaryAfterASearch) {
    auto e = NewSearchEngine();
    e->search.searchDepth = 4;
    IterativeDeepening(*e);
    testing::internal::CaptureStdout();
    Write(SearchStatisticsText(*e));
    std::string out = testing::internal::GetCapturedStdout();
    const char* stats =
        "Total Nodes: #  Total Evals: #\n"
        "FH: #,  FH 1st: #,   FH Ratio: #%\n"
        "  Quies Nodes: # (#%)  Hash hits: #  Pawn hash hits: #\n"
        "  Check Ext: # (#.#%)  Single Ext: # (#.#%)\n"
        "  Recap Ext: # (#.#%)  Threat Ext: # (#.#%)\n"
        "  6th   Ext: # (#.#%)  7th   Ext: # (#.#%)\n"
        "  Total Ext: # (#.#%)\n"
        "Time taken: # sec  *Nodes/sec: *\n"
        "Completed: 4.0 ply  Deepest node: #\n"
        "Found in: # sec, #.#ply\n"
        "Score: *   (#)\n"
        "PV: *\n";
    EXPECT_TRUE(Like(out.c_str(), stats)) << out;
    std::string summary = SearchSummary(*e);
    EXPECT_TRUE(Like(summary.c_str(), "   Found in: #sec, #.#ply   Completed: 4.0ply\n"
                                      "   Used: #sec, Total Nodes: #,  NPS: *\n"
                                      "   PV: *\n   *\n"))
        << summary;
    EXPECT_TRUE(SomeLineLike(summary, "   Equal") || SomeLineLike(summary, "   White by #.#")
                || SomeLineLike(summary, "   Black by #.#"))
        << summary;
    EXPECT_GT(e->search.stats.evaluations, 0);
    EXPECT_GT(e->search.stats.deepestPly, 3);
}

TEST(SearchTexts, ThinkingAndUciLines) {
    auto e = NewSearchEngine();
    e->search.searchDepth = 3;
    e->shell.post = 1;
    testing::internal::CaptureStdout();
    IterativeDeepening(*e);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(Like(out.c_str(), " 0    0 *#       0 ????\n*")) << out;
    EXPECT_TRUE(SomeLineLike(out, " 3 *# *# *# ????*")) << out;
    e->search.report = UciReport;
    testing::internal::CaptureStdout();
    IterativeDeepening(*e);
    out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(SomeLineLike(out, "info depth 3 seldepth # score cp # nodes # nps # time # hashfull # pv ????*")
                || SomeLineLike(out, "info depth 3 seldepth # score cp # nodes # time 0 hashfull # pv ????*"))
        << out;
    EXPECT_EQ(out.find("currmove"), std::string::npos);  // only above depth 6
}

TEST(SearchTexts, ForcedMoveLine) {
    auto e = NewSearchEngine();
    SetFen(*e, "7k/8/8/8/8/8/8/K5R1 b - -");
    e->shell.post = 1;
    testing::internal::CaptureStdout();
    Move m = IterativeDeepening(*e);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "0 0 0 0 (Kh7 Forced Move)\n");
    EXPECT_EQ(MoveTo(m), 97);
    EXPECT_STREQ(ScoreText(*e), "Forced Move");
}

TEST(SearchTexts, BookMoveLine) {
    auto e = NewTestEngine();
    // A small-book record for the start position with the single move e2-e4.
    SmallBookEntry& entry = e->book.smallBook[uint32_t(e->pos.hashKey) & (SmallBookSize - 1)];
    entry = SmallBookEntry{};
    entry.keyLow = uint32_t(e->pos.hashKey);
    entry.keyHigh = uint32_t(e->pos.hashKey >> 32);
    entry.moves[0] = BookMove{62, 64, 0};
    e->shell.post = 1;
    e->search.searchDepth = 5;
    testing::internal::CaptureStdout();
    Move m = IterativeDeepening(*e);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "0 0 0 0 (e4 Book Move)\n");
    EXPECT_EQ(m, MakeMoveValue(62, 64));
    EXPECT_EQ(e->pos.nodeCount, 0);
    EXPECT_EQ(e->search.pv[0][0].from, 62);
    EXPECT_EQ(e->search.pv[0][1].from, 0);
    EXPECT_STREQ(ScoreText(*e), "Book Move (small)");
    // Analysing never plays from the book.
    e->search.searchState = Analyzing;
    e->shell.post = 0;
    IterativeDeepening(*e);
    EXPECT_GT(e->pos.nodeCount, 0);
    e->search.searchState = Idle;
}

// Runs one pass of the root loop at depth 2 around a given last score, returning the dump.
std::string DumpedPass(Engine& e, int lastScore) {
    FILE* f = std::tmpfile();
    e.search.searchDepth = 1;
    IterativeDeepening(e);  // sorts the root list
    e.search.searchDepth = 2;
    e.search.lastScore = lastScore;
    StartTreeDump(e, f);
    SearchRoot(e, true);
    StopTreeDump(e);
    std::rewind(f);
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        text.append(buffer, n);
    std::fclose(f);
    return text;
}

TEST(AspirationWindow, FullWindowAtDepthOne) {
    auto e = NewSearchEngine();
    FILE* f = std::tmpfile();
    StartTreeDump(*e, f);
    e->search.searchDepth = 1;
    IterativeDeepening(*e);
    StopTreeDump(*e);
    std::rewind(f);
    char line[256] = {};
    ASSERT_NE(std::fgets(line, sizeof line, f), nullptr);  // the empty first line
    ASSERT_NE(std::fgets(line, sizeof line, f), nullptr);
    EXPECT_STREQ(line, "------- Full Width Search Depth = 1 -------\n");
    ASSERT_NE(std::fgets(line, sizeof line, f), nullptr);
    ASSERT_NE(std::fgets(line, sizeof line, f), nullptr);
    EXPECT_STREQ(line, "------- alpha = -2000000000, beta = 2000000000\n");
    std::fclose(f);
}

TEST(AspirationWindow, FailLowSearchesAgainBelowTheWindow) {
    auto e = NewSearchEngine();
    std::string dump = DumpedPass(*e, 50000);
    EXPECT_NE(dump.find("------- alpha = 49250, beta = 50750\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("------- alpha = -2000000000, beta = 49250\n"), std::string::npos);
    EXPECT_LT(e->search.lastScore, 49250);
}

TEST(AspirationWindow, FailedWindowsAreReportedAsBoundsUnderUci) {
    // Failing low: the pass's best as an upper bound, then the searched score.
    auto e = NewSearchEngine();
    e->search.report = UciReport;
    testing::internal::CaptureStdout();
    DumpedPass(*e, 50000);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(SomeLineLike(out, "info depth 2 seldepth # score cp # upperbound nodes # * pv ????*"))
        << out;
    std::string last = out.substr(out.rfind("info depth"));
    EXPECT_TRUE(Like(last.c_str(), "info depth 2 seldepth # score cp # nodes # *time # hashfull # pv ????*\n"))
        << out;
    // Failing high: the score that broke the window as a lower bound.
    e = NewSearchEngine();
    e->search.report = UciReport;
    testing::internal::CaptureStdout();
    DumpedPass(*e, -50000);
    out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(SomeLineLike(out, "info depth 2 seldepth # score cp # lowerbound nodes # * pv ????*"))
        << out;
    last = out.substr(out.rfind("info depth"));
    EXPECT_TRUE(Like(last.c_str(), "info depth 2 seldepth # score cp # nodes # *time # hashfull # pv ????*\n"))
        << out;
    EXPECT_EQ(out.find("upperbound"), std::string::npos) << out;
}

TEST(AspirationWindow, FailHighWidensBeta) {
    auto e = NewSearchEngine();
    std::string dump = DumpedPass(*e, -50000);
    EXPECT_NE(dump.find("------- alpha = -50750, beta = -49250\n"), std::string::npos) << dump;
    EXPECT_TRUE(Like(dump.c_str(), "*\n*** Fail high!: * , Beta = -49250, thisScore = #*")) << dump;
    EXPECT_GT(e->search.lastScore, -49250);
    // A single pass: the re-search with the widened beta settles it.
    EXPECT_EQ(dump.find("------- alpha = -2000000000"), std::string::npos);
}

}  // namespace
