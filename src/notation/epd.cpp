// Reading and writing the board, side, castling and en-passant fields of EPD text.
#include "notation/epd.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "board/geometry.h"
#include "board/position.h"
#include "board/setup.h"
#include "output.h"

static constexpr char pieceLetters[] = "KQRBNP_pnbrqk";  // indexed by code + 6

// Returns the PieceCode of a piece letter, or 0 when the character names no piece.
static int PieceFromLetter(char c) {
    for (int code = -6; code <= 6; code++)
        if (code != 0 && pieceLetters[6 - code] == c)
            return code;
    return 0;
}

static char LetterOfPiece(int code) {
    return code >= -6 && code <= 6 ? pieceLetters[6 - code] : '?';
}

static const char* SkipBlanks(const char* s) {
    while (*s == ' ' || *s == '\t' || *s == '\n' || *s == '\r')
        s++;
    return s;
}

static const char* SkipField(const char* s) {
    while (*s && *s != ' ' && *s != '\t' && *s != '\n' && *s != '\r')
        s++;
    return s;
}

static void ReportDefect(const char* message, const char* rest) {
    Notice("%sOffending string:\n%s\n", message, rest);
}

// Reads the eight ranks; returns the text after the board field.
static const char* ReadBoard(Position& p, const char* s) {
    for (int rank = 8; rank >= 1 && *s; rank--) {
        int file = 1;
        while (file <= 8 && *s) {
            char c = *s;
            if (c >= '1' && c <= '8') {
                int n = c - '0';
                if (file + n - 1 > 8) {
                    ReportDefect("Error reading EPD position, too many files (ignoring the rest).\n", s);
                    n = 9 - file;
                }
                file += n;
                s++;
            } else if (c == '0') {
                s++;
            } else if (c == '/') {
                file = 9;  // the rest of the rank stays empty
                s++;
                goto nextRank;
            } else if (c == ' ' || c == '\t') {
                return s;  // board field ended early: the rest stays empty
            } else {
                int code = PieceFromLetter(c);
                if (!code)
                    ReportDefect("Error reading EPD position, invalid piece (assuming empty).\n", s);
                else
                    p.board[MakeSquare(rank, file)] = code;
                file++;
                s++;
            }
        }
        if (*s == '/')
            s++;
    nextRank:;
    }
    return SkipField(s);
}

// Clears a castling right whose king or rook is not on its starting square.
static void CheckCastleRight(Position& p, int bit, int kingSq, int king, int rookSq, int rook,
                             const char* message) {
    if ((p.castleRights & bit) && (p.board[kingSq] != king || p.board[rookSq] != rook)) {
        p.castleRights &= uint8_t(~bit);
        Notice("%s", message);
    }
}

void LoadEpd(Position& p, const char* text) {
    for (int sq = SqA1; sq <= SqH8; sq++)
        if (!IsBorder(sq))
            p.board[sq] = Empty;
    p.whiteToMove = 1;
    p.castleRights = 0;
    p.epSquare = 0;
    if (!text)
        text = "";

    const char* s = SkipBlanks(ReadBoard(p, SkipBlanks(text)));

    if (*s == 'w' || *s == 'b') {
        p.whiteToMove = *s == 'w';
    } else {
        ReportDefect("Bad colour specifier, assuming white to move.\n", s);
        p.whiteToMove = 1;
    }
    s = SkipBlanks(SkipField(s));

    if (*s == '-') {
        s++;
    } else {
        for (; *s && *s != '-' && *s != ' ' && *s != '\t' && *s != '\n' && *s != '\r'; s++) {
            switch (*s) {
            case 'K': p.castleRights |= CastleWhiteKing; break;
            case 'Q': p.castleRights |= CastleWhiteQueen; break;
            case 'k': p.castleRights |= CastleBlackKing; break;
            case 'q': p.castleRights |= CastleBlackQueen; break;
            default: ReportDefect("Bad castling flag, ignoring it.\n", s); break;
            }
        }
    }
    CheckCastleRight(p, CastleWhiteKing, SqE1, King, SqH1, Rook,
                     "Error reading EPD position, invalid white O-O flag.\n");
    CheckCastleRight(p, CastleWhiteQueen, SqE1, King, SqA1, Rook,
                     "Error reading EPD position, invalid white O-O-O flag.\n");
    CheckCastleRight(p, CastleBlackKing, SqE8, -King, SqH8, -Rook,
                     "Error reading EPD position, invalid black O-O flag.\n");
    CheckCastleRight(p, CastleBlackQueen, SqE8, -King, SqA8, -Rook,
                     "Error reading EPD position, invalid black O-O-O flag.\n");
    s = SkipBlanks(SkipField(s));

    if (s[0] >= 'a' && s[0] <= 'h' && s[1] >= '1' && s[1] <= '8')
        p.epSquare = uint8_t(MakeSquare(s[1] - '0', s[0] - 'a' + 1));
}

const char* PositionToEpd(const Position& p) {
    static char text[128];
    char* out = text;
    for (int rank = 8; rank >= 1; rank--) {
        int empty = 0;
        for (int file = 1; file <= 8; file++) {
            int code = p.board[MakeSquare(rank, file)];
            if (code == Empty) {
                empty++;
                continue;
            }
            if (empty)
                *out++ = char('0' + empty);
            empty = 0;
            *out++ = LetterOfPiece(code);
        }
        if (empty)
            *out++ = char('0' + empty);
        *out++ = rank > 1 ? '/' : ' ';
    }
    *out++ = p.whiteToMove ? 'w' : 'b';
    *out++ = ' ';
    if (!p.castleRights)
        *out++ = '-';
    if (p.castleRights & CastleWhiteKing) *out++ = 'K';
    if (p.castleRights & CastleWhiteQueen) *out++ = 'Q';
    if (p.castleRights & CastleBlackKing) *out++ = 'k';
    if (p.castleRights & CastleBlackQueen) *out++ = 'q';
    *out++ = ' ';
    if (p.epSquare) {
        *out++ = char('a' + fileOf[p.epSquare] - 1);
        *out++ = char('0' + rankOf[p.epSquare]);
    } else {
        *out++ = '-';
    }
    *out = '\0';
    return text;
}

void FlatPositionString(const Position& p, char* buf, size_t size) {
    char squares[65];
    int n = 0;
    for (int rank = 8; rank >= 1; rank--)
        for (int file = 1; file <= 8; file++) {
            int code = p.board[MakeSquare(rank, file)];
            squares[n++] = code == Empty ? '1' : LetterOfPiece(code);
        }
    squares[n] = '\0';
    char castling[5];
    int c = 0;
    if (p.castleRights & CastleWhiteKing) castling[c++] = 'K';
    if (p.castleRights & CastleWhiteQueen) castling[c++] = 'Q';
    if (p.castleRights & CastleBlackKing) castling[c++] = 'k';
    if (p.castleRights & CastleBlackQueen) castling[c++] = 'q';
    if (!c)
        castling[c++] = '-';
    castling[c] = '\0';
    char ep[3] = "-";
    if (p.epSquare) {
        ep[0] = char('a' + fileOf[p.epSquare] - 1);
        ep[1] = char('0' + rankOf[p.epSquare]);
        ep[2] = '\0';
    }
    std::snprintf(buf, size, "%s %s%s %s", squares, p.whiteToMove ? "w " : "b ", castling, ep);
}

bool ReadEpdPosition(Position& p, const char* text) {
    const BoardFields previous = SaveBoardFields(p);
    LoadEpd(p, text);
    SetupResult result = EnterPosition(p, previous);
    if (result.defect) {
        Notice("Illegal position: %s\n", result.defect);
        return false;
    }
    if (result.epIgnored)
        Notice("Error reading EPD position, impossible en-passant square (ignoring it).\n");
    return true;
}
