// The "build", "book" and "loadgame" commands, through the real binary and in-process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "book/bookimage.h"
#include "bookfiles.h"
#include "notation/epd.h"
#include "shell/enginerun.h"
#include "shell/bookcommands.h"
#include "shell/gamecommands.h"
#include "shell/inputring.h"
#include "support.h"

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
    EXPECT_EQ(out, xboardNoBookFiles +
                       "Enter PGN file name:\n"
                       "Invalid move, ply: 1 move: '$1'\n"
                       " Bad PGN found after game 2\n"
                       "\n3 games read.\n"
                       "Small Book: \nBig Book:   e4 (2) d4 (1) \n" + fill);
    EXPECT_EQ(long(ReadFile(folder + "/kitebigb.bin").size()), BigBookImageBytes);

    out = RunIn(folder, "book\\n");
    EXPECT_EQ(out, "# --- ERROR: Cannot open book file ---\n"
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
    EXPECT_EQ(out, xboardNoBookFiles +
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

// The display board shows the Engine's position and the notation context reads moves
// against the game position's legal list.
static void ExpectDisplayInStep(const Engine& e) {
    for (int file = 0; file < 8; file++)
        for (int rank = 1; rank <= 8; rank++) {
            int sq = 10 * (file + 2) + rank;
            ASSERT_EQ(e.shell.display.board[sq], e.pos.board[sq]) << "square " << sq;
        }
    EXPECT_EQ(e.shell.display.whiteToMove, e.pos.whiteToMove);
    EXPECT_EQ(e.shell.notation.board, &e.shell.display);
    EXPECT_EQ(e.shell.notation.moves, e.pos.rootPly);
}

// Runs a command in this process on the given answer token; returns what it printed.
static std::string RunHere(Engine& e, bool (*command)(Engine&), const std::string& answer = "") {
    if (!answer.empty())
        PutToken(answer.c_str());
    testing::internal::CaptureStdout();
    command(e);
    EXPECT_EQ(CheckPosition(e.pos), "");
    return testing::internal::GetCapturedStdout();
}

TEST(BookCommands, LoadedGameIsSteppedThroughWithUndoAndForward) {
    std::string folder = ScratchFolder();
    WriteFile(folder + "/game.pgn",
              "[Event \"x\"]\n\n1. e4 e5 2. Nf3 {a comment} 2... Nc6 3. Bb5 1-0\n");
    auto e = NewTestEngine();
    e->shell.consoleMode = 0;
    EXPECT_EQ(RunHere(*e, CommandLoadGame, folder + "/game.pgn"),
              "Enter a file name to load a game from:\n3 moves read in.\n");
    EXPECT_EQ(e->shell.plyNumber, 6);
    EXPECT_STREQ(PositionToEpd(e->pos), "r1bqkbnr/pppp1ppp/2n5/1B2p3/4P3/5N2/PPPP1PPP/RNBQK2R b KQkq -");
    ExpectDisplayInStep(*e);

    RunHere(*e, CommandRemove);
    EXPECT_EQ(e->shell.plyNumber, 4);
    EXPECT_STREQ(PositionToEpd(e->pos), "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq -");
    RunHere(*e, CommandUndo);
    EXPECT_EQ(e->shell.plyNumber, 3);
    RunHere(*e, CommandForward);
    EXPECT_EQ(e->shell.plyNumber, 5);
    EXPECT_STREQ(PositionToEpd(e->pos), "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -");
    ExpectDisplayInStep(*e);
}

TEST(BookCommands, UnreadableMoveKeepsThePliesBeforeItCounted) {
    std::string folder = ScratchFolder();
    WriteFile(folder + "/bad.pgn", "1. d4 d5 2. c4 $1 e6 *\n");
    auto e = NewTestEngine();
    e->shell.consoleMode = 0;
    EXPECT_EQ(RunHere(*e, CommandLoadGame, folder + "/bad.pgn"),
              "Enter a file name to load a game from:\n"
              "Invalid move, ply: 3 move: '$1'\n2 moves read in.\n");
    EXPECT_EQ(e->shell.plyNumber, 4);  // three plies played, the fourth is next
    ExpectDisplayInStep(*e);
    RunHere(*e, CommandUndo);
    EXPECT_EQ(e->shell.plyNumber, 3);
    EXPECT_STREQ(PositionToEpd(e->pos), "rnbqkbnr/ppp1pppp/8/3p4/3P4/8/PPP1PPPP/RNBQKBNR w KQkq -");
}

TEST(BookCommands, BookIsNotReadWhileTheEngineSearches) {
    auto e = NewTestEngine();
    e->search.searchState = Thinking;
    EXPECT_EQ(RunHere(*e, CommandBook), "Book moves cannot be shown while the engine is searching.\n");
    e->search.searchState = Idle;
}

TEST(BookCommands, BuildThatCannotSaveSaysSoAndShowsTheStartPosition) {
    std::string folder = ScratchFolder();
    // A folder named like the image: it cannot be read at start-up nor written by build.
    ASSERT_EQ(std::system(("mkdir '" + folder + "/kitebigb.bin'").c_str()), 0);
    WriteFile(folder + "/game.pgn", "1. e4 e5 2. Nf3 *\n");
    std::string out = RunIn(folder, "loadgame\\ngame.pgn\\nbuild\\ngame.pgn\\nrefresh\\n");
    EXPECT_EQ(out,
              "# --- ERROR: Cannot read kitebigb.bin, the big book is empty ---\n"
              "# --- ERROR: Cannot open book file ---\n"
              "Enter a file name to load a game from:\n2 moves read in.\n"
              "Enter PGN file name:\n\n1 games read.\n"
              "--- ERROR: Cannot write kitebigb.bin, the big book was not saved ---\n" +
                  startBoard);
}
