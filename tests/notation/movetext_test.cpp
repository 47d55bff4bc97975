// Move text: SAN edge cases, the accepted and refused spellings, the coordinate writer and the
// pair working on a NotationContext.
#include <gtest/gtest.h>

#include <string>

#include "board/geometry.h"
#include "notation/movetext.h"
#include "randomgames.h"
#include "shell/displayboard.h"

// SAN of a move, checking afterwards that the check-mark probe left the position intact.
static std::string San(Engine& e, Move m) {
    std::string s = MoveToSan(e, m);
    EXPECT_EQ(CheckPosition(e.pos), "");
    return s;
}

TEST(MoveText, DisambiguationByFileRankOrSquare) {
    auto e = NewTestEngine();
    SetFen(*e, "4k3/8/8/8/8/5N2/8/1N2K3 w - - 0 1");
    EXPECT_EQ(San(*e, Mv("b1d2")), "Nbd2");
    EXPECT_EQ(San(*e, Mv("f3d2")), "Nfd2");
    EXPECT_EQ(San(*e, Mv("f3e5")), "Ne5");

    SetFen(*e, "4k3/8/8/8/8/R7/8/R3K3 w - - 0 1");
    EXPECT_EQ(San(*e, Mv("a1a2")), "R1a2");
    EXPECT_EQ(San(*e, Mv("a3a2")), "R3a2");
    EXPECT_EQ(San(*e, Mv("a3b3")), "Rb3");

    SetFen(*e, "4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1");
    EXPECT_EQ(San(*e, Mv("a1b2")), "Qa1b2");
    EXPECT_EQ(San(*e, Mv("a3b2")), "Q3b2");
    EXPECT_EQ(San(*e, Mv("c1b2")), "Qcb2");

    // Captures: "x" before the target, after the disambiguation.
    SetFen(*e, "4k3/8/8/3p4/8/2N1N3/8/4K3 w - - 0 1");
    EXPECT_EQ(San(*e, Mv("c3d5")), "Ncxd5");
    EXPECT_EQ(San(*e, Mv("e3d5")), "Nexd5");
}

TEST(MoveText, PawnMovesCastlingAndMarks) {
    auto e = NewTestEngine();
    EXPECT_EQ(San(*e, Mv("e2e4")), "e4");
    EXPECT_EQ(San(*e, Mv("g1f3")), "Nf3");
    EXPECT_EQ(San(*e, Mv("e2e5")), "Illegal Move!");
    EXPECT_EQ(San(*e, 0), "Illegal Move!");

    // Mate and plain check.
    SetFen(*e, "6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
    EXPECT_EQ(San(*e, Mv("a1a8")), "Ra8#");
    SetFen(*e, "6k1/5pp1/8/8/8/8/8/R5K1 w - - 0 1");
    EXPECT_EQ(San(*e, Mv("a1a8")), "Ra8+");

    // Castling, with check through the rook.
    SetFen(*e, "5k2/8/8/8/8/8/8/R3K2R w KQ - 0 1");
    EXPECT_EQ(San(*e, Mv("e1g1")), "O-O+");
    EXPECT_EQ(San(*e, Mv("e1c1")), "O-O-O");
    SetFen(*e, "r3k2r/8/8/8/8/8/8/3K4 b kq - 0 1");
    EXPECT_EQ(San(*e, Mv("e8c8")), "O-O-O+");
    EXPECT_EQ(San(*e, Mv("e8g8")), "O-O");

    // Pawn captures, en passant and promotions.
    SetFen(*e, "3r3k/4P3/8/3pP3/8/8/8/4K3 w - d6 0 1");
    EXPECT_EQ(San(*e, Mv("e5d6")), "exd6");
    EXPECT_EQ(San(*e, Mv("e7d8", Queen)), "exd8=Q+");
    EXPECT_EQ(San(*e, Mv("e7d8", Knight)), "exd8=N");
    EXPECT_EQ(San(*e, Mv("e7e8", Rook)), "e8=R+");
    EXPECT_EQ(San(*e, Mv("e7e8", Bishop)), "e8=B");
    EXPECT_EQ(San(*e, Mv("e7e8")), "Illegal Move!");  // a promotion needs its piece

    SetFen(*e, "4k3/8/8/8/8/8/1p6/R3K3 b - - 0 1");
    EXPECT_EQ(San(*e, Mv("b2a1", -Queen)), "bxa1=Q+");
    EXPECT_EQ(San(*e, Mv("b2b1", -Knight)), "b1=N");
}

// A move typed as text, parsed in the current position.
static Move Parse(Engine& e, const char* text) {
    Move m = ParseMove(e, text);
    EXPECT_EQ(CheckPosition(e.pos), "") << text;
    return m;
}

TEST(MoveText, ParseAcceptsTheListedSpellings) {
    auto e = NewTestEngine();
    for (const char* text : {"Nf3", "nf3", "Nf3+", "g1f3", "G1F3"})
        EXPECT_EQ(Parse(*e, text), Mv("g1f3")) << text;
    for (const char* text : {"e4", "e2e4", "e4+"})
        EXPECT_EQ(Parse(*e, text), Mv("e2e4")) << text;
    EXPECT_EQ(Parse(*e, "b4"), Mv("b2b4"));
    EXPECT_EQ(Parse(*e, "b3"), Mv("b2b3"));

    // Promotion captures, checking and not.
    SetFen(*e, "3r3k/4P3/8/8/8/8/8/4K3 w - - 0 1");
    for (const char* text : {"exd8=Q+", "exd8Q", "exd8=Q", "e7d8q", "e7d8=Q", "exd8Q+"})
        EXPECT_EQ(Parse(*e, text), Mv("e7d8", Queen)) << text;
    for (const char* text : {"exd8=N", "exd8N", "e7d8n", "e7d8N"})
        EXPECT_EQ(Parse(*e, text), Mv("e7d8", Knight)) << text;
    for (const char* text : {"e8=Q+", "e8=Q", "e8Q", "e7e8q", "e8=q"})
        EXPECT_EQ(Parse(*e, text), Mv("e7e8", Queen)) << text;
    SetFen(*e, "3r4/4P3/8/8/8/8/8/k3K3 w - - 0 1");
    for (const char* text : {"exd8=Q+", "exd8Q", "exd8=Q", "e7d8q"})
        EXPECT_EQ(Parse(*e, text), Mv("e7d8", Queen)) << text;

    // Castling in every spelling, for both sides.
    SetFen(*e, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    for (const char* text : {"oo", "OO", "o-o", "O-O", "e1g1"})
        EXPECT_EQ(Parse(*e, text), Mv("e1g1")) << text;
    for (const char* text : {"ooo", "OOO", "o-o-o", "O-O-O", "e1c1"})
        EXPECT_EQ(Parse(*e, text), Mv("e1c1")) << text;
    SetFen(*e, "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1");
    EXPECT_EQ(Parse(*e, "O-O"), Mv("e8g8"));
    EXPECT_EQ(Parse(*e, "ooo"), Mv("e8c8"));

    // Short pawn captures by files; "bc" is a pawn capture even with a bishop about.
    SetFen(*e, "4k3/8/8/3p4/4P3/2p5/1P6/2B1K3 w - - 0 1");
    EXPECT_EQ(Parse(*e, "ed"), Mv("e4d5"));
    EXPECT_EQ(Parse(*e, "bc"), Mv("b2c3"));
    EXPECT_EQ(Parse(*e, "bxc3"), Mv("b2c3"));
    EXPECT_EQ(Parse(*e, "Bd2"), Mv("c1d2"));
    EXPECT_EQ(Parse(*e, "bd2"), Mv("c1d2"));  // a piece letter with a square reads case-blind
    EXPECT_EQ(Parse(*e, "b4"), Mv("b2b4"));

    // A capture typed without "x", disambiguated captures without "x", black pieces.
    SetFen(*e, "4k3/8/8/3p4/8/2N1N3/8/4K3 w - - 0 1");
    EXPECT_EQ(Parse(*e, "Ncd5"), Mv("c3d5"));
    EXPECT_EQ(Parse(*e, "Nexd5"), Mv("e3d5"));
    EXPECT_EQ(Parse(*e, "ncxd5"), Mv("c3d5"));
    SetFen(*e, "4k3/8/8/8/8/5p2/8/4K1N1 w - - 0 1");
    EXPECT_EQ(Parse(*e, "Nf3"), Mv("g1f3"));
    EXPECT_EQ(Parse(*e, "Nxf3"), Mv("g1f3"));
    SetFen(*e, "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
    EXPECT_EQ(Parse(*e, "Nf6"), Mv("g8f6"));
    EXPECT_EQ(Parse(*e, "e5"), Mv("e7e5"));
    EXPECT_EQ(Parse(*e, "e6"), Mv("e7e6"));

    // Mate typed with "#" or "+".
    SetFen(*e, "6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
    EXPECT_EQ(Parse(*e, "Ra8#"), Mv("a1a8"));
    EXPECT_EQ(Parse(*e, "Ra8+"), Mv("a1a8"));
    EXPECT_EQ(Parse(*e, "Ra8"), Mv("a1a8"));
}

TEST(MoveText, ParseRefusesOtherSpellings) {
    auto e = NewTestEngine();
    SetFen(*e, "3r3k/4P3/8/8/8/8/8/4K3 w - - 0 1");
    // A promotion needs its piece in every notation; "=" belongs only on the last rank.
    for (const char* text : {"e7e8", "e8", "e8=", "e8=K", "e7e8k", "exd8", "exd8=P", "ed"})
        EXPECT_EQ(MoveFrom(Parse(*e, text)), 0) << text;

    SetFen(*e, "4k3/8/8/8/8/5N2/8/1N2K3 w - - 0 1");
    EXPECT_EQ(MoveFrom(Parse(*e, "Nd2")), 0);  // two knights reach d2
    EXPECT_EQ(Parse(*e, "Nbd2"), Mv("b1d2"));
    EXPECT_EQ(MoveFrom(Parse(*e, "Nc3#")), 0);  // no mate
    EXPECT_EQ(MoveFrom(Parse(*e, "Ke1")), 0);

    // Two pawns of one file that can take on the same file.
    SetFen(*e, "4k3/3p4/4P3/3p4/4P3/8/8/4K3 w - - 0 1");
    EXPECT_EQ(MoveFrom(Parse(*e, "ed")), 0);
    EXPECT_EQ(Parse(*e, "exd5"), Mv("e4d5"));

    auto fresh = NewTestEngine();
    for (const char* text : {"", "e", "e5", "e2e5", "e2", "zz", "e9", "i2i4", "Nf9", "N", "0-0",
                             "xx", "Bb5", "ee", "e4=Q", "Oo", "O-O-O-O", "12345",
                             "a very long word that is certainly not a chess move at all"})
        EXPECT_EQ(MoveFrom(Parse(*fresh, text)), 0) << "'" << text << "'";
    EXPECT_EQ(MoveFrom(ParseMove(*fresh, nullptr)), 0);
}

TEST(MoveText, CoordinateWriter) {
    InitGeometry();
    EXPECT_STREQ(MoveToCoordinate(Mv("e2e4")), "e2e4");
    EXPECT_STREQ(MoveToCoordinate(Mv("e7e8", Queen)), "e7e8Q");
    EXPECT_STREQ(MoveToCoordinate(Mv("b2a1", -Knight)), "b2a1N");
    EXPECT_STREQ(MoveToCoordinate(Mv("a7a8")), "a7a8");
    EXPECT_STREQ(MoveToCoordinate(Mv("e1g1")), "e1g1");
    EXPECT_STREQ(MoveToCoordinate(Mv("e6e7", Queen)), "e6e7");  // not a last-rank step
    EXPECT_STREQ(MoveToCoordinate(0), "0000");
    EXPECT_STREQ(MoveToCoordinate(MakeMoveValue(20, 21)), "0000");
}

TEST(MoveText, NotationContextPair) {
    auto e = NewTestEngine();
    SetFen(*e, "6k1/5ppp/8/8/8/8/4P3/R5K1 w - - 0 1");
    DisplayBoard display;
    InitDisplayBoard(display);
    NotationContext context{&display, nullptr};
    EXPECT_STREQ(MoveToSan(context, Mv("a1a8")), "Illegal Move!");  // no move list yet
    EXPECT_EQ(MoveFrom(ParseMove(context, "Ra8")), 0);

    CopyToDisplayBoard(*e, display);
    context.moves = e->pos.currentPly;
    EXPECT_STREQ(MoveToSan(context, Mv("a1a8")), "Ra8");  // no check marks
    EXPECT_STREQ(MoveToSan(context, Mv("e2e4")), "e4");
    EXPECT_STREQ(MoveToSan(context, Mv("a1h8")), "Illegal Move!");
    for (const char* text : {"Ra8", "Ra8#", "Ra8+", "ra8", "a1a8"})
        EXPECT_EQ(ParseMove(context, text), Mv("a1a8")) << text;
    EXPECT_EQ(ParseMove(context, "e4"), Mv("e2e4"));

    // The pair reads the display board, not the Engine, which may be a ply ahead.
    MakeMove(e->pos, Mv("e2e4"));
    ASSERT_EQ(CheckPosition(e->pos), "");
    EXPECT_EQ(ParseMove(context, "Ra8"), Mv("a1a8"));
    EXPECT_STREQ(MoveToSan(context, Mv("e2e3")), "e3");
}
