// The start-up tables against the values the board geometry defines.
#include <gtest/gtest.h>

#include "board/geometry.h"
#include "support.h"

TEST(Geometry, SquaresRanksAndFiles) {
    InitGeometry();
    EXPECT_EQ(MakeSquare(1, 1), 21);
    EXPECT_EQ(MakeSquare(8, 8), 98);
    EXPECT_EQ(rankOf[28], 8);
    EXPECT_EQ(fileOf[28], 1);
    for (int sq : {20, 29, 30, 99}) {
        EXPECT_EQ(rankOf[sq], 0) << sq;
        EXPECT_EQ(fileOf[sq], 0) << sq;
    }
}

TEST(Geometry, DirectionTable) {
    InitGeometry();
    EXPECT_EQ(directionTable[21][98], 11);
    EXPECT_EQ(directionTable[98][21], -11);
    EXPECT_EQ(directionTable[21][28], 1);
    EXPECT_EQ(directionTable[21][91], 10);
    EXPECT_EQ(directionTable[28][91], 9);
    EXPECT_EQ(directionTable[91][28], -9);
    EXPECT_EQ(directionTable[21][33], 0);
    EXPECT_EQ(directionTable[21][32], 11);
    EXPECT_EQ(directionTable[21][21], 0);
    // Rows of cells below 21 stay empty; a border cell lines up along its positive walks.
    for (int t = 0; t < 99; t++)
        EXPECT_EQ(directionTable[5][t], 0);
    EXPECT_EQ(directionTable[30][31], 1);  // border cell 30 walks +1 onto b1
    EXPECT_EQ(directionTable[31][30], -1);
}

TEST(Geometry, MoveValues) {
    EXPECT_EQ(MakeMoveValue(62, 64, 0), 16446u);
    Move m = MakeMoveValue(22, 21, -2);
    EXPECT_EQ(MoveFrom(m), 22);
    EXPECT_EQ(MoveTo(m), 21);
    EXPECT_EQ(MovePromotion(m), -2);
    EXPECT_EQ((m >> 16) & 0xFF, 0xFEu);
    EXPECT_EQ(MovePromotion(MakeMoveValue(27, 28, 5)), 5);
}

TEST(Geometry, ByteMaskTables) {
    InitGeometry();
    EXPECT_EQ(bitDirection[0x80], 1);
    EXPECT_EQ(bitDirection[0x81], 0);
    EXPECT_EQ(bitCount[0xFF], 8);
    EXPECT_EQ(lowestClearBit[0x07], 4);
    EXPECT_EQ(highestClearBit[0x7F], 8);
    EXPECT_EQ(lowestClearBit[0xFF], 0);
    EXPECT_EQ(highestClearBit[0xFF], 0);
    EXPECT_EQ(openSpan[0x00], 8);
    EXPECT_EQ(openSpan[0x0F], 4);
    EXPECT_EQ(openSpan[0x81], 6);
    EXPECT_EQ(openSpan[0xFF], 0);
}

TEST(Geometry, RayBitsAgreeWithBitDirection) {
    InitGeometry();
    for (int d : {1, -1, 10, -10, 9, -9, 11, -11}) {
        uint16_t low = uint16_t(BishopBits(d) | RookBits(d));
        EXPECT_EQ(bitCount[low], 1) << d;
        EXPECT_EQ(bitDirection[low], d) << d;
        EXPECT_EQ(QueenBits(d), low << 8) << d;
        EXPECT_EQ(AnySliderBits(d), low | (low << 8)) << d;
    }
    EXPECT_EQ(AnySliderBits(1), 0x8080);
    EXPECT_EQ(AnySliderBits(-11), 0x0202);
    EXPECT_EQ(AnySliderBits(2), 0);
}

TEST(Geometry, PieceWeightsAndCentreTables) {
    InitGeometry();
    EXPECT_EQ(PieceValueOf(-Queen), 9500);
    EXPECT_EQ(SignedPieceValueOf(-Rook), -5000);
    EXPECT_EQ(PieceValueOf(King), 1000000);
    EXPECT_EQ(attackerWeight[Pawn], 12);
    EXPECT_EQ(centreTable[MakeSquare(4, 4)], 14);
    EXPECT_EQ(centreTable[MakeSquare(5, 5)], 14);
    EXPECT_EQ(centreTable[MakeSquare(8, 1)], 2);
    EXPECT_EQ(rookMobilityWeight[MakeSquare(2, 4)], 32);
    EXPECT_EQ(bishopMobilityWeight[MakeSquare(2, 4)], 64);
    EXPECT_EQ(pawnBlockingWeight[MakeSquare(2, 4)], 32);
    EXPECT_EQ(knightSquareValue[SqA1], 128);
    EXPECT_EQ(knightSquareValue[SqB1], 192);
    EXPECT_EQ(knightSquareValue[MakeSquare(3, 3)], 464);
    EXPECT_EQ(knightSquareValue[MakeSquare(4, 4)], 640);
    EXPECT_EQ(knightSquareValue[MakeSquare(5, 5)], 640);
    EXPECT_EQ(knightSquareValue[20], 0);
}

TEST(Geometry, KingDistance) {
    InitGeometry();
    EXPECT_EQ(KingDistance(SqA1, SqH8), 7);
    EXPECT_EQ(KingDistance(MakeSquare(4, 5), MakeSquare(6, 6)), 2);
}

TEST(Geometry, ZobristKeysAreFixedConstants) {
    // Book files store hash keys: these values must never change.
    EXPECT_EQ(zobristKeys[0][0], 0x814BF8C640458639ULL);
    EXPECT_NE(sideToMoveKey, 0u);
}
