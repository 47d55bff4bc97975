// The display board: the game position as the players see it.
#include "shell/displayboard.h"

#include <cstdio>
#include <cstring>

#include "board/geometry.h"
#include "engine.h"

void InitDisplayBoard(DisplayBoard& d) {
    for (int sq = 0; sq < 120; sq++)
        d.board[sq] = IsBorder(sq) ? Border : Empty;
    d.whiteToMove = 1;
    d.castleRights = 0;
}

void CopyToDisplayBoard(const Engine& e, DisplayBoard& d) {
    d.castleRights = e.pos.castleRights;
    d.whiteToMove = e.pos.whiteToMove;
    for (int sq = SqA1; sq <= SqH8; sq++)
        d.board[sq] = e.pos.board[sq];
}

void DisplayBoardApplyMove(DisplayBoard& d, Move m) {
    int f = MoveFrom(m), t = MoveTo(m), promotion = MovePromotion(m);
    int* b = d.board;
    if (t == SqA1) d.castleRights &= uint8_t(~CastleWhiteQueen);
    if (t == SqA8) d.castleRights &= uint8_t(~CastleBlackQueen);
    if (t == SqH1) d.castleRights &= uint8_t(~CastleWhiteKing);
    if (t == SqH8) d.castleRights &= uint8_t(~CastleBlackKing);
    int piece = b[f];
    if (piece == -King && f == SqE8) {
        d.castleRights &= uint8_t(~(CastleBlackKing | CastleBlackQueen));
        if (t == SqG8) { b[SqF8] = -Rook; b[SqH8] = Empty; }
        if (t == SqC8) { b[SqD8] = -Rook; b[SqA8] = Empty; }
    } else if (piece == King && f == SqE1) {
        d.castleRights &= uint8_t(~(CastleWhiteKing | CastleWhiteQueen));
        if (t == SqG1) { b[SqF1] = Rook; b[SqH1] = Empty; }
        if (t == SqC1) { b[SqD1] = Rook; b[SqA1] = Empty; }
    } else if (piece == -Rook) {
        if (f == SqH8) d.castleRights &= uint8_t(~CastleBlackKing);
        if (f == SqA8) d.castleRights &= uint8_t(~CastleBlackQueen);
    } else if (piece == Rook) {
        if (f == SqH1) d.castleRights &= uint8_t(~CastleWhiteKing);
        if (f == SqA1) d.castleRights &= uint8_t(~CastleWhiteQueen);
    } else if (piece == Pawn && rankOf[t] == 8) {
        b[t] = promotion;
        b[f] = Empty;
        d.whiteToMove = 0;
        return;
    } else if (piece == -Pawn && rankOf[t] == 1) {
        b[t] = promotion;
        b[f] = Empty;
        d.whiteToMove = 1;
        return;
    }
    if ((piece == Pawn || piece == -Pawn) && fileOf[f] != fileOf[t] && b[t] == Empty)
        b[MakeSquare(rankOf[f], fileOf[t])] = Empty;  // en passant
    b[t] = piece;
    b[f] = Empty;
    d.whiteToMove = !d.whiteToMove;
}
