// Leaf counts of the legal-move tree against published counts, and the "testgen" and
// "load" commands through the real binary.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "board/makemove.h"
#include "tools/perft.h"
#include "support.h"

// Largest published count checked here: keeps the whole file to a few seconds.
constexpr int64_t LeafBudget = 20000000;

// Checks every count of a file of "FEN ;D1 n ;D2 n ..." lines up to the leaf budget;
// returns the counts checked and sets lines to the positions read.
static int CheckPerftFile(Engine& e, const std::string& path, int& lines) {
    std::ifstream in(path);
    EXPECT_TRUE(in) << path;
    lines = 0;
    int checked = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty())
            continue;
        lines++;
        std::string fen = line.substr(0, line.find(" ;"));
        for (size_t at = line.find(";D"); at != std::string::npos; at = line.find(";D", at + 2)) {
            int depth = 0;
            long long expected = 0;
            EXPECT_EQ(std::sscanf(line.c_str() + at, ";D%d %lld", &depth, &expected), 2) << line;
            if (expected > LeafBudget)
                continue;
            SetFen(e, fen);
            EXPECT_EQ(CountNodes(e, depth), expected) << fen << " depth " << depth;
            EXPECT_EQ(CheckPosition(e.pos), "") << fen;
            EXPECT_EQ(e.pos.currentPly, e.pos.plyStack);
            checked++;
        }
    }
    return checked;
}

TEST(Perft, PublishedPositionsAtEveryAffordableDepth) {
    // Millions of moves: the check after each would take six times as long as the counts.
    // The counts themselves and the check after each of them stand for it.
    PositionChecksOff off;
    auto e = NewTestEngine();
    int lines = 0;
    int checked = CheckPerftFile(*e, TestDataPath("perft.epd"), lines);
    EXPECT_EQ(lines, 6);
    EXPECT_GE(checked, 6 * 3);
    // The shared copy, where there is one, may hold more positions.
    if (!SharedDir().empty()) {
        CheckPerftFile(*e, SharedDir() + "/perft.epd", lines);
        EXPECT_GE(lines, 6);
    }
}

TEST(Perft, TotalNodesCountMadeMovesAndLeaves) {
    auto e = NewTestEngine();
    EXPECT_EQ(CountNodes(*e, 1), 20);
    EXPECT_EQ(e->pos.nodeCount, 20);
    EXPECT_EQ(CountNodes(*e, 2), 400);
    EXPECT_EQ(e->pos.nodeCount, 420);
    EXPECT_EQ(CountNodes(*e, 3), 8902);
    EXPECT_EQ(e->pos.nodeCount, 8902 + 400 + 20);
}

TEST(Perft, MatedAndManyMovePositions) {
    auto e = NewTestEngine();
    SetFen(*e, "7k/6Q1/6K1/8/8/8/8/8 b - - 0 1");
    EXPECT_EQ(CountNodes(*e, 1), 0);
    EXPECT_EQ(CountNodes(*e, 3), 0);
    SetFen(*e, "R6R/3Q4/1Q4Q1/4Q3/2Q4Q/Q4Q2/pp1Q4/kBNN1KB1 w - - 0 1");
    EXPECT_EQ(CountNodes(*e, 1), 218);
    EXPECT_EQ(CountNodes(*e, 2), 99);  // all but a few moves stalemate or mate
}

// Runs the console with the given input lines and returns what follows the start banner.
static std::string Console(const std::string& input) {
    std::string out = RunCommand("printf '" + input + "quit\\n' | '" + EngineBinary() + "'");
    std::string prompt = "Enter a move or command:\n";
    size_t start = out.find(prompt);
    return start == std::string::npos ? out : out.substr(start + prompt.size());
}

// Skips the digits at text[at]; returns false when there are none.
static bool SkipDigits(const std::string& text, size_t& at) {
    size_t start = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9')
        at++;
    return at > start;
}

// True when text at position at continues with word; moves past it.
static bool Expect(const std::string& text, size_t& at, const std::string& word) {
    if (text.compare(at, word.size(), word) != 0)
        return false;
    at += word.size();
    return true;
}

TEST(Testgen, PrintsTheFourLinesThenThePrompt) {
    std::string out = Console("testgen\\n2\\n");
    size_t at = 0;
    bool ok = Expect(out, at, "Enter depth to count nodes at: Node count at depth 2 is: 400\n"
                              "Total nodes: 420\nTime: ")
           && SkipDigits(out, at) && Expect(out, at, " seconds\nNPS: ")
           && (Expect(out, at, "undefined") || SkipDigits(out, at))
           && Expect(out, at, "\nEnter a move or command:\n") && at == out.size();
    EXPECT_TRUE(ok) << out;
}

TEST(Testgen, DepthZeroOrLessCountsNothing) {
    for (const char* depth : {"0", "-3", "abc"}) {
        std::string out = Console(std::string("testgen\\n") + depth + "\\n");
        EXPECT_EQ(out, "Enter depth to count nodes at: "
                       "Depth must be between 1 and 30, nothing counted.\n"
                       "Enter a move or command:\n") << depth;
    }
}

TEST(Load, ReadsTheFirstLineTryingDotFen) {
    char folder[] = "/tmp/mosskite-load-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::string base = std::string(folder) + "/kiwipete";
    {
        std::ofstream f(base + ".fen");
        f << "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -\n"
          << "8/8/8/8/8/8/8/K6k w - -\n";
    }
    std::string out = Console("load\\n" + base + "\\ntestgen\\n2\\n");
    EXPECT_EQ(out.rfind("Enter a file name to load a position from:\n", 0), 0u) << out;
    EXPECT_NE(out.find(" 8 |br|__|__|__|bk|__|__|br|"), std::string::npos) << out;
    EXPECT_NE(out.find("Node count at depth 2 is: 2039\n"), std::string::npos) << out;

    out = Console("load\\n" + std::string(folder) + "/missing\\ntestgen\\n1\\n");
    EXPECT_EQ(out.rfind("Enter a file name to load a position from:\n"
                        "--- ERROR: Cannot open file ---\n"
                        "Enter a move or command:\n"
                        "Enter depth to count nodes at: Node count at depth 1 is: 20\n", 0), 0u)
        << out;

    // A position the engine cannot play from is refused and the game stays as it was.
    std::string bad = std::string(folder) + "/nokings.fen";
    std::ofstream(bad) << "8/8/8/8/8/8/8/8 w - -\n";
    out = Console("load\n" + bad + "\ntestgen\n1\n");
    EXPECT_NE(out.find("Illegal position: White has no king\nEnter a move or command:\n"),
              std::string::npos) << out;
    EXPECT_EQ(out.find("|__|"), std::string::npos) << out;
    EXPECT_NE(out.find("Node count at depth 1 is: 20\n"), std::string::npos) << out;
    std::remove(bad.c_str());
    std::remove((base + ".fen").c_str());
    rmdir(folder);
}
