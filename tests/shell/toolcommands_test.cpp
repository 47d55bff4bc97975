// The suite and benchmark commands at the console: dialogs, and the position they leave
// becoming the game that typed moves are read against.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "pattern.h"
#include "shell/displayboard.h"
#include "shell/toolcommands.h"
#include "support.h"
#include "tools/suitemessages.h"

// The mate position of the little suites below, as the text board draws it.
static const char* const mateBoard =
    "    _______________________\n"
    " 8 |__|__|__|__|__|__|bk|__|\n"
    " 7 |__|__|__|__|__|bp|bp|bp|\n"
    " 6 |__|__|__|__|__|__|__|__|\n"
    " 5 |__|__|__|__|__|__|__|__|\n"
    " 4 |__|__|__|__|__|__|__|__|\n"
    " 3 |__|__|__|__|__|__|__|__|\n"
    " 2 |__|__|__|__|__|__|__|__|\n"
    " 1 |WR|__|__|__|__|__|WK|__|\n"
    "     a  b  c  d  e  f  g  h   White to play\n";

static const char* const prompt = "Enter a move or command:\n";

// Runs the console in a scratch folder holding a suite file; returns what follows the
// banner's prompt.
static std::string Console(const std::string& input) {
    char folder[] = "/tmp/mosskite-tools-XXXXXX";
    if (!mkdtemp(folder))
        return "";
    std::string dir = folder;
    std::ofstream(dir + "/rec.epd") << "svfe 6k1/5ppp/8/8/8/8/8/R5K1 w - -\nsrch Ra8#\n";
    std::ofstream(dir + "/input.txt") << input << "quit\n";
    std::string out = RunCommand("cd '" + dir + "' && '" + EngineBinary() + "' < input.txt");
    std::system(("rm -rf '" + dir + "'").c_str());
    size_t start = out.find(prompt);
    return start == std::string::npos ? out : out.substr(start + std::string(prompt).size());
}

TEST(ToolCommands, LoadnthDialogAndMissingFile) {
    EXPECT_EQ(Console("loadnth rec.epd 1\n"),
              std::string("Enter a file name to load a position from:\n"
                          "Enter the position number:\n"
                          "Solution: Ra8#\n") +
                  mateBoard + prompt);
    EXPECT_EQ(Console("loadnth rec.epd 2\nloadnth missing.epd\n"),
              "Enter a file name to load a position from:\n"
              "Enter the position number:\n"
              "Position 2 not found\n"
              "Enter a file name to load a position from:\n"
              "--- ERROR: Cannot open file ---\n");
}

// True when text ends with tail.
static bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(ToolCommands, SuiteRunsLeaveTheirPositionAsTheGame) {
    // After each run the console shows the suite's last position, now the game's.
    const std::string board = std::string(mateBoard) + prompt;
    EXPECT_EQ(Console("testgensuite rec.epd counts.txt\n"),
              "Enter the test suite file name:\nEnter the results file name:\n"
              "Total nodes: 17\n" + board);
    std::string out = Console("test rec.epd results.txt\n");
    EXPECT_EQ(out.substr(0, 61), "Enter the test suite file name:\nEnter the results file name:\n");
    EXPECT_NE(out.find("Correct!\n"), std::string::npos) << out;
    EXPECT_NE(out.find("*** Test Finished ***\n1 solved correctly out of 1 positions.\n"),
              std::string::npos) << out;
    EXPECT_TRUE(EndsWith(out, board)) << out;

    EXPECT_EQ(Console("test missing.epd\n"),
              "Enter the test suite file name:\n--- ERROR: Cannot open file ---\n");
    EXPECT_EQ(Console("test rec.epd no/such/folder/results.txt\n"),
              "Enter the test suite file name:\nEnter the results file name:\n"
              "--- ERROR: Cannot open file ---\n");
}

TEST(ToolCommands, BenchReportsItsSpeedAndAReproducibleNodeCount) {
    std::string out = Console("bench\nbench\n");
    const std::string banner =
        "\n*****************************************\n"
        "***** Chess Program Speed Benchmark *****\n"
        "*****************************************\n"
        "    _______________________\n"
        " 8 |br|__|__|bq|bk|bb|bn|br|\n";
    EXPECT_EQ(out.substr(0, banner.size()), banner);
    EXPECT_NE(out.find("Performing a 10ply benchmark search...\n"), std::string::npos);
    EXPECT_NE(out.find("\n10 "), std::string::npos);  // the thinking line of depth 10
    // Half a million nodes take more than a millisecond: the speed is always a number.
    const std::string report =
        "\n\\*\\*\\*\\*\\* Benchmark Speed: ([0-9]+) nodes/sec\\.\n\n"
        "Benchmark nodes: ([0-9]+)\n";
    size_t end = 0;
    std::vector<std::string> first = FirstMatch(out, report, &end);
    ASSERT_FALSE(first.empty()) << out;
    std::string rest = out.substr(end);
    std::vector<std::string> second = FirstMatch(rest, report);
    ASSERT_FALSE(second.empty()) << rest;
    EXPECT_EQ(first[2], second[2]);  // the same search from cleared tables
    // The benchmark position is the game now, and the console shows it.
    EXPECT_TRUE(EndsWith(out, "Benchmark nodes: " + second[2] + "\n" +
                              banner.substr(banner.find("    ___")) +
                              " 7 |__|bp|bp|__|__|__|bp|bp|\n"
                              " 6 |bp|__|bp|__|__|bp|__|__|\n"
                              " 5 |__|__|__|__|bp|__|__|__|\n"
                              " 4 |__|__|__|WP|WP|__|bb|__|\n"
                              " 3 |__|__|__|__|__|WN|__|__|\n"
                              " 2 |WP|WP|WP|__|__|WP|WP|WP|\n"
                              " 1 |WR|WN|WB|WQ|__|WR|WK|__|\n"
                              "     a  b  c  d  e  f  g  h   White to play\n" +
                              std::string(prompt)))
        << out;
}

TEST(ToolCommands, BenchOnTheCommandLinePrintsTheSameFingerprintAndExits) {
    const std::string report = "Benchmark nodes: ([0-9]+)\n";
    std::vector<std::string> console = FirstMatch(Console("bench\n"), report);
    ASSERT_FALSE(console.empty());
    int status = -1;
    std::string out = RunCommand("'" + EngineBinary() + "' bench < /dev/null", &status);
    EXPECT_EQ(status, 0) << out;
    std::vector<std::string> line = FirstMatch(out, report);
    ASSERT_FALSE(line.empty()) << out;
    EXPECT_EQ(line[1], console[1]);
    EXPECT_NE(out.find("***** Benchmark Speed: "), std::string::npos) << out;
    EXPECT_TRUE(EndsWith(out, line[0])) << out;  // nothing after the count: no prompt, no board
}

TEST(ToolCommands, AdoptedPositionReplacesTheGame) {
    auto e = NewTestEngine();
    e->shell.consoleMode = 0;
    e->shell.plyNumber = 9;
    CopyToDisplayBoard(*e, e->shell.display);
    SetFen(*e, "6k1/5ppp/8/8/8/8/8/R5K1 w - -");
    AdoptEnginePosition(*e);
    EXPECT_EQ(e->shell.plyNumber, 1);
    for (int sq = 21; sq <= 98; sq++)
        EXPECT_EQ(e->shell.display.board[sq], e->pos.board[sq]) << sq;
    EXPECT_EQ(e->shell.display.whiteToMove, 1);
    EXPECT_EQ(e->shell.display.castleRights, 0);
    EXPECT_EQ(e->shell.notation.board, &e->shell.display);
    EXPECT_EQ(e->shell.notation.moves, e->pos.rootPly);
}
