// EPD reading with its defect messages, and the writers.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "board/geometry.h"
#include "notation/epd.h"
#include "search/tables.h"
#include "support.h"

// Loads a text and returns what the reader printed.
static std::string LoadAndCapture(Engine& e, const char* text) {
    testing::internal::CaptureStdout();
    LoadEpd(e.pos, text);
    return testing::internal::GetCapturedStdout();
}

TEST(Epd, EmptyBoardWithWhiteToMove) {
    auto e = NewTestEngine();
    EXPECT_EQ(LoadAndCapture(*e, "8/8/8/8/8/8/8/8 w - -"), "");
    for (int sq = 21; sq <= 98; sq++)
        EXPECT_EQ(e->pos.board[sq], IsBorder(sq) ? Border : Empty) << sq;
    EXPECT_EQ(e->pos.whiteToMove, 1);
    EXPECT_EQ(e->pos.castleRights, 0);
    EXPECT_EQ(e->pos.epSquare, 0);
}

TEST(Epd, TooManyFilesKeepsTheFirstEight) {
    auto e = NewTestEngine();
    std::string out = LoadAndCapture(*e, "4P4/8/8/8/8/8/8/8 w - -");
    EXPECT_EQ(out, "Error reading EPD position, too many files (ignoring the rest).\n"
                   "Offending string:\n4/8/8/8/8/8/8/8 w - -\n");
    EXPECT_EQ(e->pos.board[MakeSquare(8, 5)], Pawn);
    EXPECT_EQ(e->pos.board[MakeSquare(7, 1)], 0);
    EXPECT_STREQ(PositionToEpd(e->pos), "4P3/8/8/8/8/8/8/8 w - -");
}

TEST(Epd, InvalidPieceLeavesTheSquareEmpty) {
    auto e = NewTestEngine();
    std::string out = LoadAndCapture(*e, "4k2x/8/8/8/8/8/8/4K3 w - -");
    EXPECT_EQ(out, "Error reading EPD position, invalid piece (assuming empty).\n"
                   "Offending string:\nx/8/8/8/8/8/8/4K3 w - -\n");
    EXPECT_EQ(e->pos.board[MakeSquare(8, 8)], 0);
    EXPECT_EQ(e->pos.board[MakeSquare(1, 5)], King);
}

TEST(Epd, SlashBeforeFileHEmptiesTheRestAndZeroIsSkipped) {
    auto e = NewTestEngine();
    EXPECT_EQ(LoadAndCapture(*e, "k/8/8/8/8/8/8/40K3 b - -"), "");
    EXPECT_EQ(e->pos.board[MakeSquare(8, 1)], -King);
    EXPECT_EQ(e->pos.board[MakeSquare(1, 5)], King);
    EXPECT_EQ(e->pos.whiteToMove, 0);
}

TEST(Epd, BadColourAssumesWhite) {
    auto e = NewTestEngine();
    std::string out = LoadAndCapture(*e, "4k3/8/8/8/8/8/8/4K3 x - -");
    EXPECT_EQ(out, "Bad colour specifier, assuming white to move.\nOffending string:\nx - -\n");
    EXPECT_EQ(e->pos.whiteToMove, 1);
}

TEST(Epd, CastlingFlagsAreCheckedAgainstTheBoard) {
    auto e = NewTestEngine();
    // The h1 rook has moved to g1.
    std::string out = LoadAndCapture(*e, "r3k2r/8/8/8/8/8/8/R3K1R1 w KQkq -");
    EXPECT_EQ(out, "Error reading EPD position, invalid white O-O flag.\n");
    EXPECT_EQ(e->pos.castleRights, CastleWhiteQueen | CastleBlackKing | CastleBlackQueen);
    out = LoadAndCapture(*e, "1r2k1r1/8/8/8/8/8/8/4K3 w Qkq -");
    EXPECT_EQ(out, "Error reading EPD position, invalid white O-O-O flag.\n"
                   "Error reading EPD position, invalid black O-O flag.\n"
                   "Error reading EPD position, invalid black O-O-O flag.\n");
    EXPECT_EQ(e->pos.castleRights, 0);
}

TEST(Epd, BadCastlingLetterIsSkipped) {
    auto e = NewTestEngine();
    std::string out = LoadAndCapture(*e, "r3k2r/8/8/8/8/8/8/R3K2R w KZq e3");
    EXPECT_EQ(out, "Bad castling flag, ignoring it.\nOffending string:\nZq e3\n");
    EXPECT_EQ(e->pos.castleRights, CastleWhiteKing | CastleBlackQueen);
    EXPECT_EQ(e->pos.epSquare, MakeSquare(3, 5));
}

TEST(Epd, TextEndingEarlyStopsReading) {
    auto e = NewTestEngine();
    EXPECT_EQ(LoadAndCapture(*e, "r3k2r/8/8/8/8/8/8/R3K2R w KQ"), "");
    EXPECT_EQ(e->pos.castleRights, CastleWhiteKing | CastleWhiteQueen);
    EXPECT_EQ(e->pos.epSquare, 0);
    EXPECT_EQ(LoadAndCapture(*e, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq z9"), "");
    EXPECT_EQ(e->pos.epSquare, 0);
}

TEST(Epd, WritersOfTheStartPosition) {
    auto e = NewTestEngine();
    EXPECT_STREQ(PositionToEpd(e->pos), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
    char flat[100];
    FlatPositionString(e->pos, flat, sizeof flat);
    EXPECT_STREQ(flat, "rnbqkbnrpppppppp11111111111111111111111111111111PPPPPPPPRNBQKBNR w KQkq -");
    SetFen(*e, "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
    EXPECT_STREQ(PositionToEpd(e->pos), "4k3/8/8/3pP3/8/8/8/4K3 w - d6");
    FlatPositionString(e->pos, flat, sizeof flat);
    EXPECT_STREQ(flat, "1111k1111111111111111111111pP1111111111111111111111111111111K111 w - d6");
}

// The first four fields of an EPD line, with single blanks between them.
static std::string FirstFourFields(const std::string& line) {
    std::istringstream in(line);
    std::string field, out;
    for (int i = 0; i < 4 && in >> field; i++)
        out += (i ? " " : "") + field;
    return out;
}

// Reads every position of an EPD file and writes it back; returns the positions read.
static int RoundTripFile(Engine& e, const std::string& path) {
    std::ifstream file(path);
    EXPECT_TRUE(file) << path;
    int positions = 0;
    std::string line;
    while (std::getline(file, line)) {
        std::string fen = FirstFourFields(line);
        if (fen.size() < 20)
            continue;
        testing::internal::CaptureStdout();
        bool accepted = SetUpEpdPosition(e, line.c_str());
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_TRUE(accepted) << line << "\n" << out;
        EXPECT_EQ(CheckPosition(e.pos), "") << line;
        if (accepted && out.empty()) {
            EXPECT_EQ(PositionToEpd(e.pos), fen) << line;
        }
        positions++;
    }
    return positions;
}

TEST(Epd, RoundTripOverTheSuites) {
    auto e = NewTestEngine();
    EXPECT_EQ(RoundTripFile(*e, TestDataPath("positions.epd")), 14);
    EXPECT_EQ(RoundTripFile(*e, std::string(MOSSKITE_SOURCE_DIR) + "/suites/mosskite-tactics.epd"),
              45);
    // The public suites of the shared material, where they are.
    if (SharedDir().empty())
        return;
    int positions = 0;
    for (const char* name : {"wac.epd", "bratko-kopec.epd", "ecm.epd", "sts1-15.epd", "arasan2024.epd"})
        positions += RoundTripFile(*e, SharedDir() + "/suites/" + name);
    EXPECT_GT(positions, 1000);
}
