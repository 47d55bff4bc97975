// The display board and the text diagram.
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
    for (int sq = 21; sq <= 98; sq++)
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

// The three-character cell of a piece code.
static const char* CellText(int code) {
    static const char* const cells[13] = {"|bk", "|bq", "|br", "|bb", "|bn", "|bp", "|__",
                                          "|WP", "|WN", "|WB", "|WR", "|WQ", "|WK"};
    if (code >= -6 && code <= 6)
        return cells[code + 6];
    return code == Border ? "|**" : "|:(";
}

const char* DrawBoard(const int32_t* board, int whiteToMove, int inverted) {
    static char text[512];
    char* out = text;
    char* end = text + sizeof text;
    auto put = [&](const char* s) {
        size_t n = std::strlen(s);
        if (out + n < end) {
            std::memcpy(out, s, n);
            out += n;
        }
    };
    put("    _______________________");
    if (whiteToMove && inverted)
        put("   White to play");
    else if (!whiteToMove && !inverted)
        put("   Black to play");
    put("\n");
    for (int row = 0; row < 8; row++) {
        int rank = inverted ? row + 1 : 8 - row;
        char label[8];
        std::snprintf(label, sizeof label, " %d ", rank);
        put(label);
        for (int col = 0; col < 8; col++) {
            int file = inverted ? 8 - col : col + 1;
            put(CellText(board[MakeSquare(rank, file)]));
        }
        put("|\n");
    }
    put(inverted ? "     h  g  f  e  d  c  b  a" : "     a  b  c  d  e  f  g  h");
    if (whiteToMove && !inverted)
        put("   White to play");
    else if (!whiteToMove && inverted)
        put("   Black to play");
    put("\n");
    *out = '\0';
    return text;
}
