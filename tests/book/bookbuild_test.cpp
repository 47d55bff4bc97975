// Building the big book from PGN: counting, halving, adding to an earlier build, bad games.
#include <gtest/gtest.h>

#include <cstdio>
#include <dirent.h>
#include <string>

#include "book/bigbook.h"
#include "book/bookbuild.h"
#include "book/bookimage.h"
#include "bookfiles.h"
#include "notation/pgn.h"
#include "support.h"

static const char* const tenPlies = "1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 Nf6 5. O-O Be7";

// A PGN file of games, each with a tag pair and a result.
static std::string Games(const std::string& movetext, int count) {
    std::string text;
    for (int i = 0; i < count; i++)
        text += "[Event \"game " + std::to_string(i + 1) + "\"]\n\n" + movetext + " 1-0\n\n";
    return text;
}

// Builds from PGN text, writing the image into folder; returns what was printed.
static std::string Build(Engine& e, const std::string& pgn, const std::string& image) {
    FILE* f = std::tmpfile();
    std::fputs(pgn.c_str(), f);
    std::rewind(f);
    testing::internal::CaptureStdout();
    BuildBigBook(e, f, image.c_str());
    std::fclose(f);
    EXPECT_EQ(CheckPosition(e.pos), "");
    return testing::internal::GetCapturedStdout();
}

static int UsedEntries(const Engine& e) {
    int n = 0;
    for (int i = 0; i < BigBookSize; i++)
        n += e.book.bigBook[i].counts[0] != 0;
    return n;
}

// The count of the first move of the starting position's entry.
static int StartCount(Engine& e) {
    auto start = NewTestEngine();
    int slot = FindBigBookEntry(e, start->pos.hashKey);
    return slot < 0 ? 0 : e.book.bigBook[slot].counts[0];
}

TEST(BookBuild, ThreeHundredIdenticalGamesHalveAt255) {
    auto e = NewTestEngine();
    ClearBigBook(*e);
    std::string image = ScratchFolder() + "/kitebigb.bin";
    EXPECT_EQ(Build(*e, Games(tenPlies, 300), image), "200 \n300 games read.\n");
    EXPECT_EQ(StartCount(*e), 127 + 45);
    EXPECT_EQ(UsedEntries(*e), 10);  // ten plies, ten positions
    EXPECT_EQ(long(ReadFile(image).size()), BigBookImageBytes);
    // The Engine is back at the starting position.
    auto start = NewTestEngine();
    EXPECT_EQ(e->pos.hashKey, start->pos.hashKey);
    EXPECT_EQ(e->pos.gamePly, 0);

    // The image holds what was built.
    auto loaded = NewTestEngine();
    testing::internal::CaptureStdout();
    EXPECT_TRUE(LoadBigBook(*loaded, image.c_str()));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(StartCount(*loaded), 172);
}

TEST(BookBuild, SecondBuildAddsToTheFirst) {
    auto e = NewTestEngine();
    ClearBigBook(*e);
    std::string image = ScratchFolder() + "/kitebigb.bin";
    std::string pgn = Games(tenPlies, 2) + Games("1. d4 d5", 1);
    Build(*e, pgn, image);
    EXPECT_EQ(StartCount(*e), 2);
    Build(*e, pgn, image);
    EXPECT_EQ(StartCount(*e), 4);
    EXPECT_EQ(UsedEntries(*e), 11);
    int slot = FindBigBookEntry(*e, NewTestEngine()->pos.hashKey);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(e->book.bigBook[slot].counts[1], 2);  // d4
    EXPECT_EQ(e->book.bigBook[slot].moves[1].from, 52);
}

TEST(BookBuild, OnlyTheFirst32PliesCount) {
    auto e = NewTestEngine();
    ClearBigBook(*e);
    std::string shuffle;
    for (int move = 1; move <= 20; move++)  // 40 plies, positions repeat every four
        shuffle += std::to_string(move) + (move % 2 ? ". Nf3 Nf6 " : ". Ng1 Ng8 ");
    Build(*e, Games(shuffle, 1), ScratchFolder() + "/kitebigb.bin");
    EXPECT_EQ(UsedEntries(*e), 4);
    EXPECT_EQ(StartCount(*e), 8);  // the start position at plies 0, 4, ... 28
}

TEST(BookBuild, BadGamesAreSkippedAndReported) {
    auto e = NewTestEngine();
    ClearBigBook(*e);
    std::string pgn = Games("1. e4 e5", 1) + Games("1. e4 $2 e5", 1) + Games("1. d4 d5", 1) +
                      "[Event \"no moves\"]\n\n*\n\n" + Games("1. c4 (1. d4) c5", 1) +
                      Games("1. Nf3", 1);
    std::string out = Build(*e, pgn, ScratchFolder() + "/kitebigb.bin");
    EXPECT_EQ(out,
              "Invalid move, ply: 1 move: '$2'\n"
              " Bad PGN found after game 1\n"
              "Invalid move, ply: 1 move: '(1.'\n"
              " Bad PGN found after game 2\n"
              "\n3 games read.\n");
    int slot = FindBigBookEntry(*e, NewTestEngine()->pos.hashKey);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(e->book.bigBook[slot].counts[0], 1);  // e4, the bad game not counted
    EXPECT_EQ(e->book.bigBook[slot].counts[1], 1);  // d4
    EXPECT_EQ(e->book.bigBook[slot].counts[2], 1);  // Nf3
    EXPECT_EQ(e->book.bigBook[slot].counts[3], 0);

    // A bad last game: the end of the file ends the build without the message.
    out = Build(*e, Games("1. e4 e5", 1) + "[Event \"x\"]\n\n1. e5 *\n", ScratchFolder() + "/b");
    EXPECT_EQ(out, "Invalid move, ply: 0 move: 'e5'\n\n1 games read.\n");
}

TEST(BookBuild, ImageThatCannotBeWrittenIsReported) {
    auto e = NewTestEngine();
    ClearBigBook(*e);
    std::string image = ScratchFolder() + "/missing/kitebigb.bin";
    EXPECT_EQ(Build(*e, Games("1. e4", 1), image),
              "\n1 games read.\n--- ERROR: Cannot write " + image +
                  ", the big book was not saved ---\n");
}

// Builds the book from a PGN file into a scratch image; returns what was printed and sets
// games to the games counted.
static std::string BuildFromFile(Engine& e, const std::string& path, int& games) {
    FILE* f = std::fopen(path.c_str(), "r");
    EXPECT_NE(f, nullptr) << path;
    games = 0;
    if (!f)
        return "";
    testing::internal::CaptureStdout();
    games = BuildBigBook(e, f, (ScratchFolder() + "/kitebigb.bin").c_str());
    std::string out = testing::internal::GetCapturedStdout();
    std::fclose(f);
    EXPECT_EQ(CheckPosition(e.pos), "");
    return out;
}

TEST(BookBuild, GameCollection) {
    auto e = NewTestEngine();
    ClearBigBook(*e);
    int games = 0;
    EXPECT_EQ(BuildFromFile(*e, TestDataPath("pgn/games.pgn"), games), "\n5 games read.\n");
    EXPECT_EQ(games, 5);
    EXPECT_EQ(StartCount(*e), 3);  // 1. e4 in three of the games
    std::string out = BuildFromFile(*e, TestDataPath("pgn/annotated.pgn"), games);
    EXPECT_EQ(out, "Invalid move, ply: 8 move: '$4'\n"
                   " Bad PGN found after game 2\n\n3 games read.\n");
    EXPECT_EQ(StartCount(*e), 5);  // and in two more, the game from a FEN tag not counted

    // The shared tournament games, where they are.
    if (SharedDir().empty())
        return;
    ClearBigBook(*e);
    out = BuildFromFile(*e, SharedDir() + "/pgn/twic944.pgn", games);
    EXPECT_GT(games, 2900);
    EXPECT_NE(out.find(std::to_string(games) + " games read.\n"), std::string::npos);
    EXPECT_GT(UsedEntries(*e), 10000);
    EXPECT_GT(StartCount(*e), 100);
    RecordProperty("games", games);
}
