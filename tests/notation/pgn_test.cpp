// PGN reader: movetext words, comments, results, tag lines, long lines and long games.
#include <gtest/gtest.h>

#include <cstdio>
#include <dirent.h>
#include <string>
#include <vector>

#include "board/gameline.h"
#include "board/hashkey.h"
#include "notation/epd.h"
#include "notation/pgn.h"
#include "support.h"

// An open temporary file holding text, positioned at its start.
static FILE* TextFile(const std::string& text) {
    FILE* f = std::tmpfile();
    std::fputs(text.c_str(), f);
    std::rewind(f);
    return f;
}

// Reads the first game of text; returns the result and the captured output.
static int ReadGame(Engine& e, const std::string& text, std::string* output = nullptr,
                    PgnGame* game = nullptr) {
    FILE* f = TextFile(text);
    testing::internal::CaptureStdout();
    int plies = ReadPgnGame(e, f, game);
    std::string printed = testing::internal::GetCapturedStdout();
    if (output)
        *output = printed;
    std::fclose(f);
    EXPECT_EQ(CheckPosition(e), "");
    return plies;
}

static std::string Board(const Engine& e) { return PositionToEpd(e); }

TEST(Pgn, MovetextWithNumbersCommentAndResult) {
    auto e = NewTestEngine();
    PgnGame game;
    EXPECT_EQ(ReadGame(*e, "[Event \"x\"]\n\n1. e4 e5 2. Nf3 {best by test} Nc6 1-0\n", nullptr,
                       &game), 4);
    EXPECT_EQ(Board(*e), "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -");
    EXPECT_EQ(game.playedPlies, 4);
    EXPECT_EQ(game.endOfFile, 0);
    EXPECT_EQ(e->pos.gamePly, 4);
    EXPECT_EQ(e->pos.lastGamePly, e->pos.currentPly);
    EXPECT_EQ(e->pos.rootPly, e->pos.currentPly);

    // The early moves and the keys of the positions they were played from are kept.
    EXPECT_EQ(game.moves[0], MakeMoveValue(62, 64));
    EXPECT_EQ(game.moves[3], MakeMoveValue(38, 46));
    auto start = NewTestEngine();
    EXPECT_EQ(game.keys[0], start->pos.hashKey);
    EXPECT_EQ(game.keys[3], e->pos.plyStack[3].hashKey);

    // The game can be stepped back to the start and replayed.
    EXPECT_EQ(GameTakeBack(*e, 4), 4);
    EXPECT_EQ(e->pos.hashKey, start->pos.hashKey);
    EXPECT_EQ(GameTakeBack(*e, -3), -3);
    EXPECT_EQ(GameTakeBack(*e, -2), 0);
    EXPECT_EQ(GameTakeBack(*e, -1), -1);
    EXPECT_EQ(Board(*e), "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -");
    EXPECT_EQ(CheckPosition(*e), "");
}

TEST(Pgn, MoveGluedToItsNumber) {
    auto e = NewTestEngine();
    PgnGame game;
    EXPECT_EQ(ReadGame(*e, "1.e4 e5 2.Nf3", nullptr, &game), 3);
    EXPECT_EQ(game.endOfFile, 1);

    std::string output;
    EXPECT_EQ(ReadGame(*e, "1. e4 1...e5 *", &output, &game), -1);
    EXPECT_EQ(output, "Invalid move, ply: 1 move: '..e5'\n");
    EXPECT_EQ(game.playedPlies, 1);  // e4 stays played
    EXPECT_EQ(e->pos.gamePly, 1);
}

TEST(Pgn, CommentOverSeveralLinesIsSkippedWhole) {
    auto e = NewTestEngine();
    EXPECT_EQ(ReadGame(*e,
                       "1. e4 {this comment\n"
                       "[Event \"a bracket at a line start inside a comment\"]\n"
                       "Nf3 d5 are words of it, and so is its last comment} e5\n"
                       "2. Nf3 {} {one-word} Nc6 *\n"),
              4);
    EXPECT_EQ(Board(*e), "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -");
}

TEST(Pgn, TagsOnlyOrNothingGivesZeroAtTheEnd) {
    auto e = NewTestEngine();
    PgnGame game;
    EXPECT_EQ(ReadGame(*e, "[Event \"x\"]\n[Site \"y\"]\n", nullptr, &game), 0);
    EXPECT_EQ(game.endOfFile, 1);
    EXPECT_EQ(ReadGame(*e, "", nullptr, &game), 0);
    EXPECT_EQ(game.endOfFile, 1);
    // A game without moves is not the end of the file.
    EXPECT_EQ(ReadGame(*e, "[Event \"x\"]\n\n1/2-1/2\n\n[Event \"y\"]\n\n1. d4 *\n", nullptr, &game),
              0);
    EXPECT_EQ(game.endOfFile, 0);
}

TEST(Pgn, AnnotationGlyphsAndVariationsEndTheGame) {
    auto e = NewTestEngine();
    std::string output;
    PgnGame game;
    EXPECT_EQ(ReadGame(*e, "1. e4 $1 e5 *", &output, &game), -1);
    EXPECT_EQ(output, "Invalid move, ply: 1 move: '$1'\n");
    EXPECT_EQ(ReadGame(*e, "1. e4 e5 (1... c5 2. Nf3) 2. Nf3 *", &output, &game), -1);
    EXPECT_EQ(output, "Invalid move, ply: 2 move: '(1...'\n");
    EXPECT_EQ(game.playedPlies, 2);
    EXPECT_EQ(ReadGame(*e, "1. e4 e5 2. Ke3 *", &output), -1);
    EXPECT_EQ(output, "Invalid move, ply: 2 move: 'Ke3'\n");
}

TEST(Pgn, ResultLeavesTheFileAfterItAndTheNextGameFollows) {
    auto e = NewTestEngine();
    FILE* f = TextFile(
        "[Event \"1\"]\n\n1. e4 e5 0-1 [Event \"same line\"]\n"
        "[Event \"2\"]\n\n1. d4 d5 2. c4 1/2-1/2\n"
        "[Event \"3\"]\n1. c4 *\n");
    testing::internal::CaptureStdout();
    EXPECT_EQ(ReadPgnGame(*e, f), 2);
    int bad = ReadPgnGame(*e, f);  // "[Event" read as a move in the middle of a line
    EXPECT_EQ(bad, -1);
    EXPECT_TRUE(SkipToNextGame(f));
    EXPECT_EQ(ReadPgnGame(*e, f), 3);
    EXPECT_EQ(ReadPgnGame(*e, f), 1);
    PgnGame game;
    EXPECT_EQ(ReadPgnGame(*e, f, &game), 0);
    EXPECT_EQ(game.endOfFile, 1);
    testing::internal::GetCapturedStdout();
    std::fclose(f);
}

TEST(Pgn, TagLineAfterMovetextStartsTheNextGame) {
    // A game whose result is missing must not swallow the next game's moves.
    auto e = NewTestEngine();
    FILE* f = TextFile("[Event \"1\"]\n\n1. e4 e5 2. Nf3\n\n[Event \"2\"]\n\n1. d4 Nf6 *\n");
    PgnGame game;
    EXPECT_EQ(ReadPgnGame(*e, f, &game), 3);
    EXPECT_EQ(game.endOfFile, 0);
    EXPECT_EQ(ReadPgnGame(*e, f, &game), 2);
    EXPECT_EQ(Board(*e), "rnbqkb1r/pppppppp/5n2/8/3P4/8/PPP1PPPP/RNBQKBNR w KQkq -");
    std::fclose(f);
}

TEST(Pgn, ZeroCastlingByteOrderMarkAndCarriageReturns) {
    auto e = NewTestEngine();
    EXPECT_EQ(ReadGame(*e,
                       "\xEF\xBB\xBF[Event \"bom\"]\r\n\r\n"
                       "1. e4 e5 2. Nf3 Nc6 3. Bc4 Bc5 4. 0-0 Nf6 5.d3 0-0 *\r\n"),
              10);
    EXPECT_EQ(Board(*e), "r1bq1rk1/pppp1ppp/2n2n2/2b1p3/2B1P3/3P1N2/PPP2PPP/RNBQ1RK1 w - -");
    EXPECT_EQ(ReadGame(*e, "1. d4 d5 2. Nc3 Nc6 3. Bf4 Bf5 4. Qd2 Qd7 5. 0-0-0+ 0-0-0 *"), 10);
    EXPECT_EQ(e->pos.board[SqC1], King);
    EXPECT_EQ(e->pos.board[SqC8], -King);
}

// A game longer than the ply stack on one line: knights shuffling, and every 18 rounds
// both sides push a pawn two squares. Sets plies to the game's length.
static std::string LongGameOnOneLine(int* plies) {
    std::string text;
    int ply = 0;
    auto add = [&](const std::string& move) {
        if (ply % 2 == 0)
            text += std::to_string(ply / 2 + 1) + ".";
        text += move + " ";
        ply++;
    };
    const char* shuffle[] = {"Nf3", "Nf6", "Ng1", "Ng8"};
    for (int round = 0; round < 150; round++) {
        for (const char* move : shuffle)
            add(move);
        if (round % 18 == 17) {
            std::string file(1, char('a' + round / 18));
            add(file + "4");
            add(file + "5");
        }
    }
    *plies = ply;
    return text + "*\n";
}

TEST(Pgn, LongLineAndGameLongerThanThePlyStack) {
    auto e = NewTestEngine();
    int expected = 0;
    std::string text = LongGameOnOneLine(&expected);
    ASSERT_GT(text.size(), 1000u);
    ASSERT_GT(expected, PlyStackSize);
    PgnGame game;
    EXPECT_EQ(ReadGame(*e, text, nullptr, &game), expected);
    EXPECT_EQ(Board(*e), "rnbqkbnr/8/8/pppppppp/PPPPPPPP/8/8/RNBQKBNR w KQkq -");
    EXPECT_EQ(e->pos.hashKey, ComputeHashKey(*e));
}

// Reads every game of a file the way the builder does; returns the readable games.
static int ReadAllGames(Engine& e, FILE* f, int* bad) {
    int games = 0;
    *bad = 0;
    for (int guard = 0; guard < 100000; guard++) {
        PgnGame game;
        int plies = ReadPgnGame(e, f, &game);
        EXPECT_EQ(CheckPosition(e), "");
        if (plies < 0) {
            ++*bad;
            if (!SkipToNextGame(f))
                break;
        } else if (plies > 0) {
            games++;
        } else if (game.endOfFile) {
            break;
        }
    }
    return games;
}

TEST(Pgn, EveryFileOfTheSharedCollectionIsReadToItsEnd) {
    std::string folder = SharedDir() + "/pgn";
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        GTEST_SKIP() << "no " << folder;
    std::vector<std::string> names;
    while (dirent* d = readdir(dir)) {
        std::string name = d->d_name;
        if (name.size() > 4 && name.substr(name.size() - 4) == ".pgn")
            names.push_back(name);
    }
    closedir(dir);
    auto e = NewTestEngine();
    int total = 0, bad = 0;
    testing::internal::CaptureStdout();
    for (const std::string& name : names) {
        FILE* f = std::fopen((folder + "/" + name).c_str(), "r");
        ASSERT_NE(f, nullptr) << name;
        int fileBad = 0;
        total += ReadAllGames(*e, f, &fileBad);
        bad += fileBad;
        std::fclose(f);
    }
    testing::internal::GetCapturedStdout();
    // Most tournament games are plain movetext and must all be read.
    EXPECT_GT(total, 3000);
    RecordProperty("games", total);
    RecordProperty("bad", bad);
}
