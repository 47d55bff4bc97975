// Position set-up: derived fields, repeatability and refusal of unplayable boards.
#include <gtest/gtest.h>

#include <cstring>

#include "board/geometry.h"
#include "board/hashkey.h"
#include "notation/epd.h"
#include "search/tables.h"
#include "support.h"

TEST(Setup, InitialPositionFields) {
    auto e = NewTestEngine();
    const Position& p = e->pos;
    EXPECT_EQ(CheckPosition(e->pos), "");
    EXPECT_EQ(p.materialBalance, 0);
    EXPECT_EQ(p.castleRights, 30);
    EXPECT_EQ(p.epSquare, 0);
    EXPECT_EQ(p.whiteToMove, 1);
    for (const SideState* s : {&p.white, &p.black}) {
        EXPECT_EQ(s->pieceCount, 8);
        EXPECT_EQ(s->pawnCount, 8);
        EXPECT_EQ(s->material, 2 * 3000 + 2 * 3000 + 2 * 5000 + 9500);
        EXPECT_EQ(s->rooksOnSeventh, 0);
    }
    EXPECT_EQ(p.white.kingSquare, SqE1);
    EXPECT_EQ(p.black.kingSquare, SqE8);
    for (int f = 0; f < 10; f++)
        EXPECT_EQ(p.rookFileBalance[f], 0);
    EXPECT_EQ(p.knightPlacement, 0);
    EXPECT_EQ(p.white.kingKnightAttacks[MakeSquare(3, 6)], 1);  // f3: knight g1
    EXPECT_EQ(p.white.kingKnightAttacks[MakeSquare(2, 4)], 2);  // d2: king e1, knight b1
    EXPECT_EQ(p.gamePly, 0);
    EXPECT_EQ(p.currentPly, p.plyStack);
    EXPECT_EQ(p.lastGamePly, p.currentPly);
    EXPECT_EQ(p.us, &p.white);
    EXPECT_EQ(p.hashKey, p.plyStack[0].hashKey);
}

TEST(Setup, SettingTwiceGivesIdenticalFields) {
    auto e = NewTestEngine();
    const char* fen = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R b KQkq - 0 1";
    SetFen(*e, fen);
    Position first;
    std::memcpy(&first, &e->pos, sizeof first);
    SetFen(*e, fen);
    EXPECT_EQ(std::memcmp(&first, &e->pos, sizeof first), 0);
}

TEST(Setup, DerivedFieldsOfAMiddlegamePosition) {
    auto e = NewTestEngine();
    SetFen(*e, "4k3/1R6/8/3n4/8/8/6r1/R3K1N1 b Q - 0 1");
    const Position& p = e->pos;
    EXPECT_EQ(p.white.rooksOnSeventh, 1);
    EXPECT_EQ(p.black.rooksOnSeventh, 1);
    EXPECT_EQ(p.rookFileBalance[1], 1);
    EXPECT_EQ(p.rookFileBalance[2], 1);
    EXPECT_EQ(p.rookFileBalance[7], -1);
    EXPECT_EQ(p.knightPlacement, knightSquareValue[SqG1] - knightSquareValue[MakeSquare(5, 4)]);
    EXPECT_EQ(p.materialBalance, 2 * 5000 + 3000 - 5000 - 3000);
    EXPECT_EQ(p.us, &p.black);
    EXPECT_EQ(p.castleRights, CastleWhiteQueen);
}

TEST(Setup, EnPassantSquareKeptWhenConsistentAndNotInKey) {
    auto e = NewTestEngine();
    // Black just played d7-d5; no White pawn can capture, the square is kept.
    SetFen(*e, "4k3/8/8/3p4/8/8/8/4K3 w - d6 0 1");
    EXPECT_EQ(e->pos.epSquare, MakeSquare(6, 4));
    uint64_t withEp = e->pos.hashKey;
    SetFen(*e, "4k3/8/8/3p4/8/8/8/4K3 w - - 0 1");
    EXPECT_EQ(e->pos.hashKey, withEp);
}

TEST(Setup, ImpossibleEnPassantSquareIsCleared) {
    auto e = NewTestEngine();
    const char* fens[] = {
        "4k3/8/8/3p4/8/8/8/4K3 w - d3 0 1",   // wrong rank for White to move
        "4k3/8/8/8/8/8/8/4K3 w - d6 0 1",     // no pawn that double-stepped
        "4k3/8/3n4/3p4/8/8/8/4K3 w - d6 0 1", // the square passed over is occupied
        "4k3/8/8/8/3P4/8/8/4K3 b - d3 0 1",   // consistent: White just played d2-d4
    };
    for (int i = 0; i < 3; i++) {
        testing::internal::CaptureStdout();
        SetFen(*e, fens[i]);
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(e->pos.epSquare, 0) << fens[i];
        EXPECT_NE(out.find("en-passant"), std::string::npos) << fens[i];
    }
    SetFen(*e, fens[3]);
    EXPECT_EQ(e->pos.epSquare, MakeSquare(3, 4));
}

TEST(Setup, RefusesUnplayablePositionsAndKeepsThePreviousOne) {
    struct Case { const char* fen; const char* defect; };
    const Case cases[] = {
        {"8/8/8/8/8/8/8/4K3 w - - 0 1", "Black has no king"},
        {"4k3/8/8/8/8/8/8/8 w - - 0 1", "White has no king"},
        {"4k3/8/8/8/8/8/8/3KK3 w - - 0 1", "White has more than one king"},
        {"4k1k1/8/8/8/8/8/8/4K3 w - - 0 1", "Black has more than one king"},
        {"4k3/8/8/8/8/8/8/P3K3 w - - 0 1", "first or eighth rank"},
        {"p3k3/8/8/8/8/8/8/4K3 w - - 0 1", "first or eighth rank"},
        {"4k3/pppppppp/p7/8/8/8/8/4K3 w - - 0 1", "more pieces of one kind"},
        {"4k3/8/8/8/8/8/PPPPPPPP/QQ2K3 w - - 0 1", "more pieces of one kind"},  // 2 queens, 8 pawns
        {"4k3/8/8/8/8/8/8/NNNNKNNN w - - 0 1", nullptr},  // seven knights, five promoted: legal
        {"QQQQkQQQ/QQQ5/8/8/8/8/8/4K3 w - - 0 1", "more pieces of one kind"},
        {"4k3/8/8/8/8/8/8/R3K2R w - - 0 1", nullptr},
        {"4k3/4R3/8/8/8/8/8/4K3 w - - 0 1", "side not to move"},  // Black in check, White to move
        {"8/8/8/8/8/8/3kK3/8 w - - 0 1", "side not to move"},      // touching kings
        {"4k3/8/8/8/8/8/8/4K2r b - - 0 1", "side not to move"},    // White in check, Black to move
    };
    auto e = NewTestEngine();
    SetFen(*e, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    Position before;
    std::memcpy(&before, &e->pos, sizeof before);
    for (const Case& c : cases) {
        testing::internal::CaptureStdout();
        bool accepted = SetUpEpdPosition(*e, c.fen);
        std::string out = testing::internal::GetCapturedStdout();
        if (!c.defect) {
            EXPECT_TRUE(accepted) << c.fen;
            SetFen(*e, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
            std::memcpy(&before, &e->pos, sizeof before);  // unused list slots may differ
            continue;
        }
        EXPECT_FALSE(accepted) << c.fen;
        EXPECT_NE(out.find(c.defect), std::string::npos) << c.fen << " -> " << out;
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
        EXPECT_EQ(std::memcmp(&before, &e->pos, sizeof before), 0) << c.fen;
    }
}

TEST(Setup, NineQueensFitThePieceLists) {
    auto e = NewTestEngine();
    SetFen(*e, "R6R/3Q4/1Q4Q1/4Q3/2Q4Q/Q4Q2/pp1Q4/kBNN1KB1 w - - 0 1");
    EXPECT_EQ(e->pos.white.queenCount, 9);
    EXPECT_EQ(e->pos.white.pieceCount, 1 + 9 + 2 + 2 + 2);
}

TEST(Setup, ArbitraryTextNeverCorruptsThePosition) {
    auto e = NewTestEngine();
    std::string longText(5000, 'Q');
    std::string binary;
    for (int i = 0; i < 2000; i++)
        binary.push_back(char((i * 37 + 11) & 0xFF));
    binary.push_back('\0');
    std::string digits(3000, '8');
    const char* texts[] = {"", " ", "/////////", "8/8/8/8/8/8/8/8 w - -", longText.c_str(),
                           binary.c_str(), digits.c_str(), "k7/8/8/8/8/8/8/7K", "9k/8/8/8/8/8/8/K7 w"};
    for (const char* text : texts) {
        testing::internal::CaptureStdout();
        SetUpEpdPosition(*e, text);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(CheckPosition(e->pos), "");
    }
}
