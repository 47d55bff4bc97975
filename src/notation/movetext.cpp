// Move text: writing SAN and coordinates, and matching typed moves to the legal moves.
#include "notation/movetext.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "board/geometry.h"
#include "board/givescheck.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "engine.h"
#include "notation/notationcontext.h"

static constexpr int SanTextSize = 16;         // longest SAN is 7 characters (Qa1xb2#, exd8=Q+)
static constexpr int CoordinateTextSize = 8;   // e7e8Q and the terminator
static constexpr size_t LongestMoveText = 24;  // typed text beyond this matches nothing
static constexpr char IllegalMoveText[] = "Illegal Move!";
static constexpr char NoSquaresText[] = "0000";
static constexpr Move NoMove = 0;

// Upper-case piece letters by PieceCode without sign: empty, pawn .. king, border.
static constexpr char pieceLetters[] = "_PNBRQK*";

// What SAN is written and read against: a board, the side to move and its legal moves.
struct MoveSource {
    const int32_t* board;              // PieceCode per square
    bool whiteToMove;
    const MoveListEntry* moves;        // the legal moves of that position
    int moveCount;
};

// The Engine's current position and the list of its current PlyRecord.
static MoveSource EngineSource(const Engine& e) {
    const PlyRecord* r = e.pos.currentPly;
    return {e.pos.board, e.pos.whiteToMove != 0, r->moves, r->moves ? r->moveCount : 0};
}

// The game position of a NotationContext: its display board and the record's move list.
static MoveSource ContextSource(const NotationContext& c) {
    const PlyRecord* r = c.moves;
    return {c.board->board, c.board->whiteToMove != 0, r->moves, r->moves ? r->moveCount : 0};
}

// The list entry as a Move whose promotion byte is 0 unless it is a promotion.
static Move NormalizedMove(const MoveSource& src, int index) {
    const MoveListEntry& entry = src.moves[index];
    int promotion = IsPromotionMove(src.board, entry.from, entry.to) ? entry.promotion : 0;
    return MakeMoveValue(entry.from, entry.to, promotion);
}

// Writes the square's file letter and rank digit; returns the end of the text.
static char* WriteSquare(char* out, int sq) {
    *out++ = char('a' + fileOf[sq] - 1);
    *out++ = char('0' + rankOf[sq]);
    return out;
}

// Writes the SAN of a move of the list without check marks. False when the move is not legal.
static bool WriteSanBody(const MoveSource& src, Move m, char* out) {
    if (FindMoveIndex(src.board, src.moves, src.moveCount, m) < 0)
        return false;
    int f = MoveFrom(m), t = MoveTo(m);
    int code = src.board[f];
    // 1. Castling, recognised by the king's squares.
    if ((code == King && f == SqE1) || (code == -King && f == SqE8)) {
        if (t == f + 20) {
            std::strcpy(out, "O-O");
            return true;
        }
        if (t == f - 20) {
            std::strcpy(out, "O-O-O");
            return true;
        }
    }
    char* o = out;
    int kind = std::abs(code);
    if (kind != Pawn) {
        // 2. Piece letter, then the from-file, from-rank or whole from-square when another piece
        // of the same kind can reach the same square.
        *o++ = pieceLetters[kind];
        bool others = false, fileUnique = true, rankUnique = true;
        for (int i = 0; i < src.moveCount; i++) {
            const MoveListEntry& entry = src.moves[i];
            if (entry.to != t || entry.from == f || src.board[entry.from] != code)
                continue;
            others = true;
            if (rankOf[entry.from] == rankOf[f])
                rankUnique = false;
            else if (fileOf[entry.from] == fileOf[f])
                fileUnique = false;
        }
        if (others) {
            if (fileUnique)
                *o++ = char('a' + fileOf[f] - 1);
            else if (rankUnique)
                *o++ = char('0' + rankOf[f]);
            else
                o = WriteSquare(o, f);
        }
        if (src.board[t] != Empty)
            *o++ = 'x';
        o = WriteSquare(o, t);
    } else {
        // 3. Pawns: the from-file and "x" for a capture, the target, and the promotion piece.
        if (fileOf[t] != fileOf[f]) {
            *o++ = char('a' + fileOf[f] - 1);
            *o++ = 'x';
        }
        o = WriteSquare(o, t);
        if (rankOf[t] == 8 || rankOf[t] == 1) {
            int promotion = std::abs(MovePromotion(m));
            *o++ = '=';
            *o++ = promotion <= King ? pieceLetters[promotion] : '?';
        }
    }
    *o = '\0';
    return true;
}

const char* MoveToSan(Engine& e, Move m) {
    thread_local char text[SanTextSize];
    MoveSource src = EngineSource(e);
    int index = FindMoveIndex(src.board, src.moves, src.moveCount, m);
    if (index < 0 || !WriteSanBody(src, m, text))
        return IllegalMoveText;
    Move legal = EntryMove(src.moves[index]);
    // 4. Check marks: a checking move is made to see whether the reply list is empty.
    if (GivesCheck(e.pos, legal)) {
        Position& p = e.pos;
        char mark = '+';
        if (HasRoomForPly(e.pos)) {
            int64_t nodes = p.nodeCount;
            MakeMove(e.pos, legal);
            if (p.currentPly->checkCount > 0 && p.currentPly->moveCount == 0)
                mark = '#';
            UnmakeMove(e.pos);
            p.nodeCount = nodes;
        }
        size_t n = std::strlen(text);
        text[n] = mark;
        text[n + 1] = '\0';
    }
    return text;
}

const char* MoveToSan(const NotationContext& c, Move m) {
    thread_local char text[SanTextSize];
    if (!c.board || !c.moves || !WriteSanBody(ContextSource(c), m, text))
        return IllegalMoveText;
    return text;
}

const char* MoveToCoordinate(Move m) {
    thread_local char text[CoordinateTextSize];
    int f = MoveFrom(m), t = MoveTo(m);
    if (IsBorder(f) || IsBorder(t))
        return NoSquaresText;
    char* o = WriteSquare(text, f);
    o = WriteSquare(o, t);
    int promotion = std::abs(MovePromotion(m));
    bool lastRankStep = (rankOf[f] == 7 && rankOf[t] == 8) || (rankOf[f] == 2 && rankOf[t] == 1);
    if (lastRankStep && promotion >= Knight && promotion <= Queen)
        *o++ = pieceLetters[promotion];
    *o = '\0';
    return text;
}

const char* MoveToUciText(Move m) {
    thread_local char text[CoordinateTextSize];
    std::strcpy(text, MoveToCoordinate(m));
    for (char* c = text; *c; c++)
        *c = char(std::tolower(static_cast<unsigned char>(*c)));
    return text;
}

// Piece code of a letter read case-blind, with the colour's sign (+1 White, -1 Black); 0 for
// anything that is not a piece letter.
static int LetterToPiece(char letter, int colour) {
    switch (std::toupper(static_cast<unsigned char>(letter))) {
    case 'P': return Pawn * colour;
    case 'N': return Knight * colour;
    case 'B': return Bishop * colour;
    case 'R': return Rook * colour;
    case 'Q': return Queen * colour;
    case 'K': return King * colour;
    default: return 0;
    }
}

// File 1..8 of a file letter read case-blind, 0 for anything else.
static int FileOfLetter(char letter) {
    int c = std::tolower(static_cast<unsigned char>(letter));
    return c >= 'a' && c <= 'h' ? c - 'a' + 1 : 0;
}

// Square of a file letter and rank digit among the first available characters, else 0.
static int ReadSquare(const char* text, size_t available) {
    if (available < 2)
        return 0;
    int file = FileOfLetter(text[0]);
    int rank = text[1] >= '1' && text[1] <= '8' ? text[1] - '0' : 0;
    return file && rank ? MakeSquare(rank, file) : 0;
}

static bool IsCheckMark(char c) { return c == '+' || c == '#'; }

// True when typed text (length n) is one of the accepted spellings of a move whose SAN is san:
// the SAN itself, with "+" for "#", with or without a check mark, a promotion without "=",
// a disambiguated capture without "x", or a piece letter in lower case (not "b", which is a
// file). marksKnown is false for SAN written without marks, where a typed "#" is accepted too.
static bool SanMatches(const char* text, size_t n, const char* san, bool marksKnown) {
    size_t sanLength = std::strlen(san);
    char sanMark = 0, typedMark = 0;
    if (sanLength > 0 && IsCheckMark(san[sanLength - 1]))
        sanMark = san[--sanLength];
    if (n > 0 && IsCheckMark(text[n - 1]))
        typedMark = text[--n];
    if (typedMark == '#' && marksKnown && sanMark != '#')
        return false;
    if (n == sanLength && std::memcmp(text, san, n) == 0)
        return true;
    // One character of the SAN left out: "=" of a promotion (e8Q, exd8Q), or "x" after a
    // disambiguation (Nbd5 for Nbxd5).
    for (size_t skip : {size_t(2), size_t(4)}) {
        if (skip >= sanLength || !(san[skip] == '=' || (skip == 2 && san[skip] == 'x')))
            continue;
        if (n + 1 == sanLength && std::memcmp(text, san, skip) == 0 &&
            std::memcmp(text + skip, san + skip + 1, sanLength - skip - 1) == 0)
            return true;
    }
    if (n == sanLength && n > 0 && san[0] != 'B' &&
        text[0] == std::tolower(static_cast<unsigned char>(san[0])) &&
        std::memcmp(text + 1, san + 1, n - 1) == 0)
        return true;
    return false;
}

// Reads typed text against a move source; e, when given, supplies SAN with check marks.
static Move ParseAgainst(const MoveSource& src, const char* text, Engine* e) {
    if (!text)
        return NoMove;
    size_t n = strnlen(text, LongestMoveText + 1);
    if (n > LongestMoveText)
        return NoMove;

    // First by comparison with the SAN of every legal move, in list order.
    for (int i = 0; i < src.moveCount; i++) {
        Move m = EntryMove(src.moves[i]);
        char san[SanTextSize];
        if (e)
            std::strcpy(san, MoveToSan(*e, m));
        else if (!WriteSanBody(src, m, san))
            continue;
        if (SanMatches(text, n, san, e != nullptr))
            return NormalizedMove(src, i);
    }

    // Then by reading the text itself.
    bool white = src.whiteToMove;
    int colour = white ? 1 : -1;
    int from = 0, to = 0, promotion = 0;
    bool promotionRead = false;
    auto is = [&](const char* word) { return std::strcmp(text, word) == 0; };
    if (is("oo") || is("OO") || is("o-o") || is("O-O")) {
        // 1. Castling spellings.
        from = white ? SqE1 : SqE8;
        to = white ? SqG1 : SqG8;
    } else if (is("ooo") || is("OOO") || is("o-o-o") || is("O-O-O")) {
        from = white ? SqE1 : SqE8;
        to = white ? SqC1 : SqC8;
    } else if (n > 2 && text[2] != '=') {
        int piece = LetterToPiece(text[0], colour);
        int square = ReadSquare(text + 1, n - 1);
        if (n == 3 && piece != 0 && square != 0) {
            // 2. Piece letter and target square (Nf3, also a capture without "x"): the only
            // move of such a piece to that square.
            for (int i = 0; i < src.moveCount; i++) {
                const MoveListEntry& entry = src.moves[i];
                if (entry.to != square || src.board[entry.from] != piece)
                    continue;
                if (from)
                    return NoMove;
                from = entry.from;
            }
            to = square;
        } else {
            // Coordinate notation; a pawn reaching the last rank needs its promotion letter.
            from = ReadSquare(text, n);
            to = ReadSquare(text + 2, n - 2);
            if (from && to && IsPromotionMove(src.board, from, to)) {
                char letter = n > 4 ? text[4] : '\0';
                if (letter == '=')
                    letter = n > 5 ? text[5] : '\0';
                promotion = LetterToPiece(letter, colour);
                promotionRead = true;
            }
        }
    } else if (n == 2 || (n > 2 && text[2] == '=')) {
        int square = ReadSquare(text, n);
        if (!square) {
            // 3. Pawn capture by files (ed), the only one; "=" and a letter pick a promotion.
            int fromFile = FileOfLetter(text[0]), toFile = FileOfLetter(text[1]);
            if (!fromFile || !toFile || fromFile == toFile)
                return NoMove;
            if (n > 2) {
                promotion = LetterToPiece(n > 3 ? text[3] : '\0', colour);
                promotionRead = true;
            }
            for (int i = 0; i < src.moveCount; i++) {
                const MoveListEntry& entry = src.moves[i];
                if (src.board[entry.from] != Pawn * colour || fileOf[entry.from] != fromFile ||
                    fileOf[entry.to] != toFile || (promotionRead && entry.promotion != promotion))
                    continue;
                if (from)
                    return NoMove;
                from = entry.from;
                to = entry.to;
            }
        } else {
            // Bare pawn square (e4, e8=Q): the pawn one, then two squares behind it.
            int back = white ? -1 : 1;
            if (src.board[square + back] == Pawn * colour)
                from = square + back;
            else if (src.board[square + 2 * back] == Pawn * colour)
                from = square + 2 * back;
            else
                return NoMove;
            to = square;
            if (rankOf[square] == (white ? 8 : 1)) {
                if (n < 4 || text[2] != '=')
                    return NoMove;
                promotion = LetterToPiece(text[3], colour);
                promotionRead = true;
            } else if (n > 2) {
                return NoMove;
            }
        }
    }

    // 4. The first legal move with these squares (and the promotion piece, when one was read).
    if (!from || !to)
        return NoMove;
    for (int i = 0; i < src.moveCount; i++) {
        const MoveListEntry& entry = src.moves[i];
        if (entry.from == from && entry.to == to && (!promotionRead || entry.promotion == promotion))
            return NormalizedMove(src, i);
    }
    return NoMove;
}

Move ParseMove(Engine& e, const char* text) {
    return ParseAgainst(EngineSource(e), text, &e);
}

Move ParseMove(const NotationContext& c, const char* text) {
    if (!c.board || !c.moves)
        return NoMove;
    return ParseAgainst(ContextSource(c), text, nullptr);
}
