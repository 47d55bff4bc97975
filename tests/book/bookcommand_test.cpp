// The "build", "book" and "loadgame" commands through the real binary.
#include <gtest/gtest.h>

#include <string>

#include "book/bookimage.h"
#include "bookfiles.h"
#include "support.h"

static const std::string noBookFiles =
    "--- No big book: cannot open kitebigb.bin ---\n"
    "--- ERROR: Cannot open book file ---\n";

// Runs the engine in folder with the given input lines; returns its output.
static std::string RunIn(const std::string& folder, const std::string& input,
                         const std::string& options = "-xboard") {
    return RunCommand("cd '" + folder + "' && printf '" + input + "quit\\n' | '" +
                      EngineBinary() + "' " + options);
}

TEST(BookCommands, BuildWritesTheBigBookThatTheNextStartLoads) {
    std::string folder = ScratchFolder();
    WriteFile(folder + "/games.pgn",
              "[Event \"a\"]\n\n1. e4 e5 2. Nf3 1-0\n\n"
              "[Event \"b\"]\n\n1. e4 c5 0-1\n\n"
              "[Event \"c\"]\n\n1. d4 $1 d5 *\n\n"
              "[Event \"d\"]\n\n1. d4 d5 *\n");
    std::string out = RunIn(folder, "build\\ngames.pgn\\nbook\\n");
    std::string fill = "Big Book:  4 entries used out of 32768\nBig Book:  2 singleton entries.\n";
    EXPECT_EQ(out, noBookFiles +
                       "Enter PGN file name:\n"
                       "Invalid move, ply: 1 move: '$1'\n"
                       " Bad PGN found after game 2\n"
                       "\n3 games read.\n"
                       "Small Book: \nBig Book:   e4 (2) d4 (1) \n" + fill);
    EXPECT_EQ(long(ReadFile(folder + "/kitebigb.bin").size()), BigBookImageBytes);

    out = RunIn(folder, "book\\n");
    EXPECT_EQ(out, "--- ERROR: Cannot open book file ---\n"
                   "Small Book: \nBig Book:   e4 (2) d4 (1) \n" + fill);
}

TEST(BookCommands, MissingFilesAreReportedWithoutAPrompt) {
    std::string folder = ScratchFolder();
    std::string out = RunIn(folder, "build\\nnone.pgn\\n", "");
    std::string tail = "Enter PGN file name:\n--- ERROR: Cannot open file ---\n";
    ASSERT_GE(out.size(), tail.size());
    EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
    out = RunIn(folder, "loadgame\\nnone.pgn\\n", "");
    tail = "Enter a file name to load a game from:\n--- ERROR: Cannot open file ---\n";
    ASSERT_GE(out.size(), tail.size());
    EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
}

TEST(BookCommands, LoadGamePlaysTheFirstGameOfTheFile) {
    std::string folder = ScratchFolder();
    WriteFile(folder + "/game.pgn", "[Event \"x\"]\n\n1. e4 e5 2. Nf3 {a comment} Nc6 3. Bb5 1-0\n"
                                    "[Event \"y\"]\n\n1. d4 *\n");
    std::string out = RunIn(folder, "loadgame\\ngame.pgn\\nbook\\n");
    EXPECT_EQ(out, noBookFiles +
                       "Enter a file name to load a game from:\n3 moves read in.\n"
                       "Small Book: \nBig Book:   \n"
                       "Big Book:  0 entries used out of 32768\nBig Book:  0 singleton entries.\n");

    // An unreadable move keeps the moves before it; the console shows the board.
    WriteFile(folder + "/bad.pgn", "1. d4 d5 2. c4 $1 e6 *\n");
    out = RunIn(folder, "loadgame\\nbad.pgn\\n", "");
    EXPECT_NE(out.find("Enter a file name to load a game from:\n"
                       "Invalid move, ply: 3 move: '$1'\n"),
              std::string::npos) << out;
    EXPECT_NE(out.find("Black to play"), std::string::npos) << out;
    EXPECT_NE(out.find("\n2 moves read in.\nEnter a move or command:\n"), std::string::npos) << out;
}
