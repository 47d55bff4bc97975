// PGN reader: movetext words, comments, results, tag lines, long lines and long games.
#include <gtest/gtest.h>

#include <cstdio>
#include <dirent.h>
#include <map>
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
    EXPECT_EQ(CheckPosition(e.pos), "");
    return plies;
}

static std::string Board(const Engine& e) { return PositionToEpd(e.pos); }

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
    EXPECT_EQ(GameTakeBack(e->pos, 4), 4);
    EXPECT_EQ(e->pos.hashKey, start->pos.hashKey);
    EXPECT_EQ(GameTakeBack(e->pos, -3), -3);
    EXPECT_EQ(GameTakeBack(e->pos, -2), 0);
    EXPECT_EQ(GameTakeBack(e->pos, -1), -1);
    EXPECT_EQ(Board(*e), "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -");
    EXPECT_EQ(CheckPosition(e->pos), "");
}

TEST(Pgn, MoveGluedToItsNumber) {
    auto e = NewTestEngine();
    PgnGame game;
    EXPECT_EQ(ReadGame(*e, "1.e4 e5 2.Nf3", nullptr, &game), 3);
    EXPECT_EQ(game.endOfFile, 1);

    // Black's moves numbered with three dots, glued to the move or standing alone, as
    // exporters write them after comments and variations.
    std::string output;
    EXPECT_EQ(ReadGame(*e, "1. e4 {[%clk 0:03:00]} 1... e5 2. Nf3 {a comment} 2...Nc6 3.Bb5 3.. a6"
                           " 4..Ba4 *", &output, &game), 7);
    EXPECT_EQ(output, "");
    EXPECT_EQ(Board(*e), "r1bqkbnr/1ppp1ppp/p1n5/4p3/B3P3/5N2/PPPP1PPP/RNBQK2R b KQkq -");

    // Dots are read past, but what follows them must still be a move.
    EXPECT_EQ(ReadGame(*e, "1. e4 1...e9 *", &output, &game), -1);
    EXPECT_EQ(output, "Invalid move, ply: 1 move: 'e9'\n");
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

TEST(Pgn, FenTagSetsTheStartingPositionOfItsGameOnly) {
    auto e = NewTestEngine();
    FILE* f = TextFile(
        "[Event \"odds\"]\n[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/4P3/4K3 b - - 0 1\"]\r\n\n"
        "1... Kd7 2. e4 Kd6 *\n"
        "[Event \"standard\"]\n\n1. e4 *\n"
        "[Event \"broken\"]\n[FEN \"8/8/8/8/8/8/8/8 w - - 0 1\"]\n\n1. e4 *\n");
    PgnGame game;
    EXPECT_EQ(ReadPgnGame(*e, f, &game), 3);
    EXPECT_EQ(CheckPosition(e->pos), "");
    EXPECT_EQ(Board(*e), "8/8/3k4/8/4P3/8/8/4K3 w - -");
    SetFen(*e, "4k3/8/8/8/8/8/4P3/4K3 b - -");
    EXPECT_EQ(game.keys[0], e->pos.hashKey);

    // The next game without a FEN tag starts from the standard position again.
    EXPECT_EQ(ReadPgnGame(*e, f, &game), 1);
    EXPECT_EQ(Board(*e), "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq -");

    // A position the engine cannot play from ends the game at once.
    testing::internal::CaptureStdout();
    EXPECT_EQ(ReadPgnGame(*e, f, &game), -1);
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(game.playedPlies, 0);
    EXPECT_NE(output.find("Illegal position"), std::string::npos) << output;
    EXPECT_EQ(CheckPosition(e->pos), "");
    std::fclose(f);

    // Stepping back stops at the set-up position.
    EXPECT_EQ(ReadGame(*e, "[FEN \"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1\"]\n1. e4 Kd7 *"), 2);
    EXPECT_EQ(GameTakeBack(e->pos, 3), 0);
    EXPECT_EQ(GameTakeBack(e->pos, 2), 2);
    EXPECT_EQ(Board(*e), "4k3/8/8/8/8/8/4P3/4K3 w - -");
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
    EXPECT_EQ(e->pos.hashKey, ComputeHashKey(e->pos));
}

// Reads every game of a file the way the builder does; returns the readable games.
static int ReadAllGames(Engine& e, FILE* f, int* bad) {
    int games = 0;
    *bad = 0;
    for (int guard = 0; guard < 100000; guard++) {
        PgnGame game;
        int plies = ReadPgnGame(e, f, &game);
        EXPECT_EQ(CheckPosition(e.pos), "");
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

// Reads every ".pgn" file of a folder as the builder does; returns, for each file, its
// readable games and its bad games.
static std::map<std::string, std::pair<int, int>> ReadCollection(Engine& e,
                                                                 const std::string& folder) {
    std::map<std::string, std::pair<int, int>> read;
    DIR* dir = opendir(folder.c_str());
    EXPECT_NE(dir, nullptr) << folder;
    if (!dir)
        return read;
    testing::internal::CaptureStdout();
    while (dirent* d = readdir(dir)) {
        std::string name = d->d_name;
        if (name.size() <= 4 || name.substr(name.size() - 4) != ".pgn")
            continue;
        FILE* f = std::fopen((folder + "/" + name).c_str(), "r");
        if (!f)
            continue;
        int bad = 0;
        read[name].first = ReadAllGames(e, f, &bad);
        read[name].second = bad;
        std::fclose(f);
    }
    closedir(dir);
    testing::internal::GetCapturedStdout();
    return read;
}

TEST(Pgn, EveryFileOfTheCollectionIsReadToItsEnd) {
    // The games kept with the tests: plain and glued move numbers, "O-O" and "0-0", a game
    // without moves, carriage returns, clock and evaluation comments, "1..." numbers, a
    // promotion with mate, a start from a FEN tag, a byte order mark, and a game that an
    // annotation glyph and a variation make unreadable.
    auto e = NewTestEngine();
    std::map<std::string, std::pair<int, int>> read = ReadCollection(*e, TestDataPath("pgn"));
    const std::map<std::string, std::pair<int, int>> expected = {
        {"games.pgn", {5, 0}}, {"annotated.pgn", {3, 1}}, {"bom.pgn", {0, 0}}};
    EXPECT_EQ(read, expected);

    // The shared collection, where it is.
    if (SharedDir().empty())
        return;
    read = ReadCollection(*e, SharedDir() + "/pgn");
    // Files without annotation glyphs and variations are read whole: tournament games,
    // "1... e5" numbers after clock comments, "0-0" castling, FEN starts, glued numbers.
    const std::map<std::string, int> whole = {
        {"twic944.pgn", 2947},  // six of its games have no moves
        {"matetrack-masters.pgn", 43},
        {"pgn4web-tilb98r2.pgn", 6},
        {"derived-zero-castling.pgn", 40},
        {"pgn4web-carlsensvidler.pgn", 1},
        {"pychess-kasparov-deep-blue-1997.pgn", 6},
        {"pychess-stockfish-learning.pgn", 1},
    };
    int total = 0, bad = 0;
    for (const auto& [name, counts] : read) {
        total += counts.first;
        bad += counts.second;
        auto wholeFile = whole.find(name);
        if (wholeFile != whole.end()) {
            EXPECT_EQ(counts.first, wholeFile->second) << name;
            EXPECT_EQ(counts.second, 0) << name;
        }
    }
    // The chess.com games: all but one with a glyph and one with a glyph as promotion piece.
    if (read.count("chesscom-examples.pgn")) {
        EXPECT_EQ(read["chesscom-examples.pgn"].first, 20);
    }
    EXPECT_GT(total, 3400);
    RecordProperty("games", total);
    RecordProperty("bad", bad);
}
