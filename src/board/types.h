// Basic values shared by every subsystem: squares, piece codes, moves.
#pragma once

#include <cstdint>

using Square = int;  // 0..119 cell of the 10 x 12 mailbox; a1 = 21, h8 = 98
using Move = uint32_t;  // bits 0-7 from, 8-15 to, 16-23 promotion code (signed byte)

// Piece codes: White positive, Black negative, 7 marks a border cell.
enum PieceCode : int {
    Empty = 0, Pawn = 1, Knight = 2, Bishop = 3, Rook = 4, Queen = 5, King = 6, Border = 7
};

// Side numbers of the per-side operations.
enum : int { WhiteSide = 0, BlackSide = 1 };

// Squares named in the rules of castling and promotion.
enum : int {
    SqA1 = 21, SqA8 = 28, SqB1 = 31, SqB8 = 38, SqC1 = 41, SqC8 = 48, SqD1 = 51, SqD8 = 58,
    SqE1 = 61, SqE8 = 68, SqF1 = 71, SqF8 = 78, SqG1 = 81, SqG8 = 88, SqH1 = 91, SqH8 = 98
};

// Castling right bits of castleRights.
enum : int {
    CastleBlackKing = 2, CastleBlackQueen = 4, CastleWhiteKing = 8, CastleWhiteQueen = 16,
    CastleAll = 30
};

// Capacities of the fixed arrays.
constexpr int PlyStackSize = 512;
constexpr int MoveAreaSize = 32768;
constexpr int MaxPieceList = 10;  // a legal game can reach 10 knights, bishops or rooks of one side
constexpr int MaxPins = 8;        // one per ray around the king
constexpr int MaxTokenLength = 95;

// Returns the square of a rank and a file, both 1..8.
constexpr Square MakeSquare(int rank, int file) { return rank + 10 * file + 10; }

constexpr Move MakeMoveValue(int from, int to, int promotion = 0) {
    return Move(from) | (Move(to) << 8) | (Move(uint8_t(int8_t(promotion))) << 16);
}
constexpr int MoveFrom(Move m) { return int(m & 0xFF); }
constexpr int MoveTo(Move m) { return int((m >> 8) & 0xFF); }
constexpr int MovePromotion(Move m) { return int(int8_t(uint8_t((m >> 16) & 0xFF))); }

// One generated move with the two fields that move ordering owns, in eight bytes.
struct MoveListEntry {
    uint8_t from;
    uint8_t to;
    int8_t promotion;  // meaningful only for pawn moves onto the last rank
    uint8_t excluded;  // 1 when the quiescence filter drops the move
    int32_t key;       // ordering key
};

constexpr Move EntryMove(const MoveListEntry& e) { return MakeMoveValue(e.from, e.to, e.promotion); }
