// The text diagram of a board.
#include "notation/boardtext.h"

#include <cstdio>
#include <cstring>

#include "board/geometry.h"

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
